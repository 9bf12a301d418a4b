#pragma once

#include <cstdint>
#include <string>

#include "serve/HttpServer.h"

namespace barwright::serve {

// The largest values of the program's counts.
constexpr std::int32_t kMaxThreads = 256;
constexpr std::int32_t kMaxConnectionLimit = 1000000;
constexpr std::int32_t kMaxTimeoutSeconds = 3600;

// Everything the command line sets.
struct ServeSettings {
    std::string listen = "127.0.0.1:8417";
    ServerSettings server;
    bool maxConnectionsGiven = false;
    // The installed page folder (the JavaScript page), or --web's.
    std::string webFolder;
    bool webGiven = false;
};

}  // namespace barwright::serve
