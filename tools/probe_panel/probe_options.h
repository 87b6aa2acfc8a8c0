// The probes' command lines: "--name value" pairs, each value kept as text
// for the probe to convert.
#pragma once

struct ProbeOption {
    const char* name;    // "--samples"
    const char** value;  // set to the text that follows the name
};

// False for a name not in the table or a name without a value.
bool probe_parse_options(int argc, char** argv, const ProbeOption* options, int count);
