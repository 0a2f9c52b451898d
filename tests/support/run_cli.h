// Runs the command-line tool of the build and collects its standard output and exit status.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace rymd::test {

struct CliOutcome {
    std::string out;
    int status = -1;
    std::string err;  // standard error, for RunCliKeepingErrors only
};

// args are appended to the tool's path as they stand (quote paths with blanks); standard
// error is dropped.
inline CliOutcome RunCli(const std::string& args, const std::string& errRedirect = "2>/dev/null") {
    const std::string cmd = std::string(RYMD_CLI) + " " + args + " " + errRedirect;
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

// As RunCli, with standard error kept too.
inline CliOutcome RunCliKeepingErrors(const std::string& args) {
    char path[] = "/tmp/rymd_cli_err_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return {};
    close(fd);
    CliOutcome o = RunCli(args, std::string("2>") + path);
    if (FILE* f = std::fopen(path, "rb")) {
        char buf[512];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0)
            o.err.append(buf, n);
        std::fclose(f);
    }
    std::remove(path);
    return o;
}

}  // namespace rymd::test
