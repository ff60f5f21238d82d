#include "platform/command_line.h"
#include "platform/serve.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace duskwend;
    const auto parsed = parse_command_line(argc, argv);
    if (const int* status = std::get_if<int>(&parsed)) return *status;
    const Options& o = std::get<Options>(parsed);
    if (o.serve) return run_serve(o, std::cin, std::cout);
    return o.headless ? run_headless(o) : run_window(o);
}
