// kelvorantumix: the stompbox as a standalone JACK application.

#include "standalone/Standalone.h"

int main(int argc, char** argv) {
    StandaloneOptions options;
    const int parsed = ParseStandaloneOptions(argc - 1, argv + 1, &options);
    return parsed >= 0 ? parsed : RunStandalone(options);
}
