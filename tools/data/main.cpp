// duskwend-data: compiles the world's sources into the game's data files, turns data files
// back into sources, and checks sources without writing anything.

#include "tools/data/content.h"
#include "tools/data/playable.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace duskwend {

namespace fs = std::filesystem;

namespace {

// Prints every problem; returns true when the world may be written.
bool report(const Diagnostics& diags, bool lenient) {
    bool fatal = false;
    for (const auto& d : diags.list()) {
        bool warn = lenient && d.consistency;
        std::cerr << d.str() << (warn ? " (written anyway: --lenient)" : "") << "\n";
        if (!warn) fatal = true;
    }
    return !fatal;
}

} // namespace

} // namespace duskwend

int main(int argc, char** argv) {
    using namespace duskwend;
    CLI::App app{"Duskwend world compiler: content sources <-> data files"};
    app.require_subcommand(1);

    std::string content_dir, data_dir, out_dir;
    bool lenient = false, force = false;

    auto* compile = app.add_subcommand("compile", "compile a content folder into data files");
    compile->add_option("content", content_dir, "content folder")->required();
    compile->add_option("-o,--output", out_dir, "folder for the data files")->required();
    compile->add_flag("--lenient", lenient,
                      "write the world despite dangling references and similar problems");

    auto* decompile = app.add_subcommand("decompile", "turn data files back into sources");
    decompile->add_option("data", data_dir, "folder holding the data files")->required();
    decompile->add_option("-o,--output", out_dir, "folder for the sources")->required();
    decompile->add_flag("--force", force, "write into a folder that is not empty");

    auto* check = app.add_subcommand("check", "check a content folder without writing");
    check->add_option("content", content_dir, "content folder")->required();

    CLI11_PARSE(app, argc, argv);

    if (*compile || *check) {
        Diagnostics diags;
        std::vector<MapOrigin> origins;
        World world = load_content(content_dir, diags, &origins);
        if (*check) {
            // Whether the world can be played through is judged only on a world that reads
            // without mistakes.
            if (diags.ok()) check_playable(world, origins, diags);
            if (diags.ok()) check_campaign(world, load_campaign_source(content_dir, diags), diags);
            report(diags, false);
            if (!diags.ok()) return 1;
            std::cout << "ok: " << world.items.size() << " items, " << world.monsters.size()
                      << " monsters, " << world.spells.size() << " spells, " << world.shops.size()
                      << " shops, " << world.progression.size() << " spell progression entries, "
                      << world.maps.size() << " maps\n";
            return 0;
        }
        if (!report(diags, lenient)) return 1;
        if (auto err = write_data_files(world, out_dir); !err.empty()) {
            std::cerr << err << "\n";
            return 1;
        }
        return 0;
    }

    std::error_code ec;
    if (!force && fs::exists(out_dir, ec) && !fs::is_empty(out_dir, ec)) {
        std::cerr << out_dir << ": the folder is not empty (use --force to write into it)\n";
        return 1;
    }
    ReadResult r = read_data_files(data_dir);
    for (const auto& w : r.warnings) std::cerr << "warning: " << w << "\n";
    for (const auto& e : r.errors) std::cerr << e << "\n";
    if (!r.errors.empty()) return 1;
    if (auto err = write_content(r.world, out_dir); !err.empty()) {
        std::cerr << err << "\n";
        return 1;
    }
    return 0;
}
