#pragma once
// How the game touches the files of the Data and save folders. A save folder may come from
// someone else, so nothing here trusts what lies in it: reading never blocks (a pipe or a
// device in a file's place is refused, not waited on), never reads more than the file's format
// allows, and writing always creates a new file in the folder, never through a link that lies
// there.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace duskwend {

struct FileRead {
    enum Status { ok, missing, not_regular, too_large, failed } status = missing;
    std::string bytes;   // the whole file when ok
    std::string message; // why not, naming the file; empty when ok or missing
    bool is_ok() const { return status == ok; }
};

// Reads a whole regular file of at most `max_bytes`. Opens without blocking and refuses what
// is not a regular file (a folder, a pipe, a device), and a file larger than the cap.
FileRead read_regular_file(const std::filesystem::path& path, std::size_t max_bytes);

// Reads `length` bytes at `offset` of a regular file, for the files fetched one slot at a time;
// bytes past the end come back as zeros. The file's size goes in *size.
FileRead read_file_part(const std::filesystem::path& path, uint64_t offset, std::size_t length,
                        uint64_t* size = nullptr);

// Creates `path` as a new file holding `bytes`, flushed to the drive. Whatever lies at `path`
// (a file, a link) is removed first and the file is made with O_EXCL | O_NOFOLLOW, so a link
// left there never carries the write elsewhere. False when any step fails.
bool write_new_file(const std::filesystem::path& path, std::string_view bytes);

// Writes `path` whole or not at all: a new file beside it, renamed over it when complete. A
// link in the target's place is replaced, not followed. False when it could not be written
// (the target is then as it was). A missing folder is made.
bool write_atomically(const std::filesystem::path& path, std::string_view bytes);

// Makes `folder` (and its parents) unless it exists; false when it is not a folder of its own
// (a link to a folder elsewhere counts as not), so nothing is written through it.
bool make_own_folder(const std::filesystem::path& folder);

// True when something (a file, a folder, a link even dangling) has that name.
bool name_taken(const std::filesystem::path& path);

// One line on stderr about a file in the way ("duskwend: <message>"); the game goes on.
void report_file_problem(const std::string& message);

} // namespace duskwend
