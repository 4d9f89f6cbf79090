#pragma once

#include "sim/LightBarrier.h"

#include <functional>
#include <limits>
#include <string>
#include <string_view>

#include <signal.h>

namespace orva::sim {

// Seconds on the monotonic clock.
double monotonicSeconds();

// The device end of a pseudo-terminal: the program opens the other end like a serial port.
class PtyServer {
public:
    // Opens the pair in raw mode. Throws std::system_error.
    PtyServer();
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // The name the program opens, e.g. /dev/pts/3.
    const std::string& ptyPath() const { return ptyPath_; }

    // Makes `path` a symbolic link to the pseudo-terminal. An earlier symbolic link there is
    // replaced; anything else is left alone and std::runtime_error thrown.
    void makeLink(const std::string& path);
    // Removes the link, unless someone has pointed it elsewhere meanwhile.
    void removeLink();

    struct Options {
        double until = std::numeric_limits<double>::infinity(); // on monotonicSeconds()
        // Signal mask while waiting: lets the caller keep its stop signals blocked everywhere
        // else, so none can slip in between checking `stop` and going to sleep.
        const sigset_t* waitMask = nullptr;
        std::function<bool()> stop;
        std::function<void(bool fromPc, std::string_view bytes)> trace;
    };
    // Carries bytes between the line and the model until `until` or `stop`.
    void serve(LightBarrier& barrier, const Options& options);

private:
    bool hungUp() const;
    bool readLine(LightBarrier& barrier, const Options& options);
    bool writeLine();

    int master_ = -1;
    std::string ptyPath_;
    std::string link_;
    std::string pending_; // answer bytes the line has not taken yet
};

} // namespace orva::sim
