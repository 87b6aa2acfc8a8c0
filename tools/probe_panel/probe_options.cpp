#include "tools/probe_panel/probe_options.h"

#include <cstring>

bool probe_parse_options(int argc, char** argv, const ProbeOption* options, int count) {
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) return false;
        int o = 0;
        while (o < count && std::strcmp(argv[i], options[o].name) != 0) ++o;
        if (o == count) return false;
        *options[o].value = argv[i + 1];
    }
    return true;
}
