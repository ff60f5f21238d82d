#include "core/file_access.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace duskwend {

namespace fs = std::filesystem;

namespace {

// Closes the descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

FileRead failure(FileRead::Status status, const std::string& message) {
    FileRead r;
    r.status = status;
    r.message = message;
    return r;
}

// Opens a file to read without waiting on a pipe or a device, and checks that it is a regular
// file. On success the descriptor is open and *st describes it.
FileRead open_regular(const fs::path& path, Descriptor& d, struct stat* st) {
    d.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (d.fd < 0) {
        if (errno == ENOENT) return failure(FileRead::missing, "");
        return failure(FileRead::failed,
                       "Cannot open " + path.string() + ": " + std::strerror(errno));
    }
    if (::fstat(d.fd, st) != 0)
        return failure(FileRead::failed,
                       "Cannot read " + path.string() + ": " + std::strerror(errno));
    if (!S_ISREG(st->st_mode))
        return failure(FileRead::not_regular, path.string() + " is not a regular file");
    FileRead r;
    r.status = FileRead::ok;
    return r;
}

// Reads up to `length` bytes at `offset`; fewer only at the end of the file. -1 on an error.
ssize_t read_at(int fd, char* out, std::size_t length, uint64_t offset) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, out + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

std::string too_large(const fs::path& path, uint64_t size, std::size_t max_bytes) {
    return path.string() + " is larger than its format allows (" + std::to_string(size) +
           " bytes, at most " + std::to_string(max_bytes) + ")";
}

} // namespace

FileRead read_regular_file(const fs::path& path, std::size_t max_bytes) {
    Descriptor d;
    struct stat st {};
    FileRead r = open_regular(path, d, &st);
    if (!r.is_ok()) return r;
    if (static_cast<uint64_t>(st.st_size) > max_bytes)
        return failure(FileRead::too_large, too_large(path, uint64_t(st.st_size), max_bytes));
    // One byte more than the cap tells a file that grew since fstat from one that fits.
    r.bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    const ssize_t n = read_at(d.fd, r.bytes.data(), r.bytes.size(), 0);
    if (n < 0)
        return failure(FileRead::failed,
                       "Cannot read " + path.string() + ": " + std::strerror(errno));
    if (static_cast<std::size_t>(n) > max_bytes)
        return failure(FileRead::too_large, too_large(path, uint64_t(n), max_bytes));
    r.bytes.resize(static_cast<std::size_t>(n));
    return r;
}

FileRead read_file_part(const fs::path& path, uint64_t offset, std::size_t length, uint64_t* size) {
    Descriptor d;
    struct stat st {};
    FileRead r = open_regular(path, d, &st);
    if (!r.is_ok()) return r;
    if (size) *size = static_cast<uint64_t>(st.st_size);
    r.bytes.assign(length, '\0');
    if (offset >= static_cast<uint64_t>(st.st_size)) return r;
    if (read_at(d.fd, r.bytes.data(), length, offset) < 0)
        return failure(FileRead::failed,
                       "Cannot read " + path.string() + ": " + std::strerror(errno));
    return r;
}

bool write_new_file(const fs::path& path, std::string_view bytes) {
    // unlink removes a link itself, never what it points to.
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return false;
    Descriptor d;
    d.fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (d.fd < 0) return false;
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(d.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(d.fd) != 0) return false;
    const int fd = d.fd;
    d.fd = -1;
    return ::close(fd) == 0;
}

bool write_atomically(const fs::path& path, std::string_view bytes) {
    // The folder itself is the player's choice (it may well be a link); what lies in it is not.
    std::error_code ec;
    if (!path.parent_path().empty()) fs::create_directories(path.parent_path(), ec);
    const fs::path fresh = path.string() + ".new";
    // rename replaces a link in the target's place with the new file.
    if (!write_new_file(fresh, bytes) || ::rename(fresh.c_str(), path.c_str()) != 0) {
        ::unlink(fresh.c_str());
        return false;
    }
    return true;
}

bool make_own_folder(const fs::path& folder) {
    if (folder.empty()) return true;
    struct stat st {};
    if (::lstat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    std::error_code ec;
    fs::create_directories(folder, ec);
    return !ec && ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool name_taken(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void report_file_problem(const std::string& message) {
    std::cerr << "duskwend: " << message << "\n";
}

} // namespace duskwend
