// Runs the command-line tool of the build and collects its standard output and exit status.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace rymd::test {

struct CliOutcome {
    std::string out;
    int status = -1;
};

// args are appended to the tool's path as they stand (quote paths with blanks); standard
// error is dropped.
inline CliOutcome RunCli(const std::string& args) {
    const std::string cmd = std::string(RYMD_CLI) + " " + args + " 2>/dev/null";
    CliOutcome o;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return o;
    char buf[512];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        o.out.append(buf, n);
    const int st = pclose(p);
    o.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return o;
}

}  // namespace rymd::test
