// tovela-service: the stand-in of the online service, on loopback.
#include "service/router/Service.h"
#include "service/store/DataFolderLock.h"
#include "service/store/DemoAlbum.h"
#include "service/store/Store.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

int usage()
{
    std::fprintf(stderr, "usage: tovela-service --data DIR [--port N] [--order-limit N] "
                         "[--seed-demo-album] [--test-hooks]\n");
    return 2;
}

bool number(const char *text, long max, long &out)
{
    char *end = nullptr;
    out = std::strtol(text, &end, 10);
    return *text && *end == '\0' && out >= 0 && out <= max;
}

} // namespace

int main(int argc, char **argv)
{
    std::string dataDir;
    long port = 8470;
    long orderLimit = 3000;
    bool seed = false;
    service::ServiceOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--data" && hasValue) {
            dataDir = argv[++i];
        } else if (arg == "--port" && hasValue) {
            if (!number(argv[++i], 65535, port))
                return usage();
        } else if (arg == "--order-limit" && hasValue) {
            if (!number(argv[++i], 1000000000, orderLimit))
                return usage();
        } else if (arg == "--seed-demo-album") {
            seed = true;
        } else if (arg == "--test-hooks") {
            options.testHooks = true;
        } else {
            return usage();
        }
    }
    if (dataDir.empty())
        return usage();
    options.orderLimit = static_cast<size_t>(orderLimit);

    try {
        // Taken before the tables are read, and held until the process ends.
        service::DataFolderLock lock(dataDir);
        service::Store store(dataDir);
        service::Account demo = store.demoAccount();
        if (seed)
            service::seedDemoAlbum(store, demo.id);
        service::Service server(store, options);
        int bound = server.bind("127.0.0.1", static_cast<int>(port));
        if (bound <= 0) {
            std::fprintf(stderr,
                         "tovela-service: cannot listen on 127.0.0.1:%ld (is the port in use?)\n",
                         port);
            return 1;
        }
        std::printf("tovela-service listening on http://127.0.0.1:%d\n", bound);
        std::printf("demo account: %s %s\n", demo.email.c_str(), demo.password.c_str());
        std::fflush(stdout);
        return server.listen() ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tovela-service: %s\n", e.what());
        return 1;
    }
}
