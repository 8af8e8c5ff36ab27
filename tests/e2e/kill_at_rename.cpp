// Preloaded into roomcfg-cli by the write tests: the process dies at the moment it would rename
// its finished temporary file over the target, the worst moment for a kill.
#include <csignal>

extern "C" int rename(const char*, const char*) {
    std::raise(SIGKILL);
    return -1;
}
