#include "sim/PtyServer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace orva::sim {

namespace {

[[noreturn]] void throwErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// While nobody has the terminal open its master end reports a hang-up at once on every poll;
// look again this often instead of spinning.
constexpr double absentPeerRetry = 0.05;

// More than any exchange sends; beyond it the bytes are dropped as a full line would.
constexpr std::size_t maxPending = 1 << 16;

} // namespace

double monotonicSeconds() {
    const auto t = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(t).count();
}

PtyServer::PtyServer() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        throwErrno("posix_openpt");
    }
    try {
        if (::grantpt(master_) != 0) {
            throwErrno("grantpt");
        }
        if (::unlockpt(master_) != 0) {
            throwErrno("unlockpt");
        }
        char name[128];
        if (const int rc = ::ptsname_r(master_, name, sizeof name); rc != 0) {
            errno = rc;
            throwErrno("ptsname_r");
        }
        ptyPath_ = name;
        // No echo and no line editing before anyone opens the other end: an echo would hand
        // the device its own answers as if the PC had sent them.
        termios t{};
        if (::tcgetattr(master_, &t) != 0) {
            throwErrno("tcgetattr");
        }
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, B9600);
        ::cfsetospeed(&t, B9600);
        if (::tcsetattr(master_, TCSANOW, &t) != 0) {
            throwErrno("tcsetattr");
        }
        const int flags = ::fcntl(master_, F_GETFL);
        if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
            throwErrno("fcntl");
        }
    } catch (...) {
        ::close(master_);
        throw;
    }
}

PtyServer::~PtyServer() {
    removeLink();
    ::close(master_);
}

void PtyServer::makeLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            throw std::runtime_error(path + " exists and is not a symbolic link; left as it is");
        }
    } else if (errno != ENOENT) {
        throwErrno(path);
    }
    // Made beside it and renamed over it, so the name never points nowhere.
    const std::string temp = path + ".orva-sim." + std::to_string(::getpid());
    ::unlink(temp.c_str());
    if (::symlink(ptyPath_.c_str(), temp.c_str()) != 0) {
        throwErrno("symlink " + temp);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        errno = err;
        throwErrno("rename to " + path);
    }
    link_ = path;
}

void PtyServer::removeLink() {
    if (link_.empty()) {
        return;
    }
    char target[512];
    const ssize_t n = ::readlink(link_.c_str(), target, sizeof target);
    if (n >= 0 && std::string_view(target, static_cast<std::size_t>(n)) == ptyPath_) {
        ::unlink(link_.c_str());
    }
    link_.clear();
}

bool PtyServer::hungUp() const {
    pollfd pfd{master_, POLLIN, 0};
    return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & POLLHUP) != 0;
}

bool PtyServer::readLine(LightBarrier& barrier, const Options& options) {
    char buf[256];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            const std::string_view bytes(buf, static_cast<std::size_t>(n));
            if (options.trace) {
                options.trace(true, bytes);
            }
            barrier.receive(bytes, monotonicSeconds());
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            return true;
        }
        return false; // EIO: the other end was closed
    }
}

bool PtyServer::writeLine() {
    while (!pending_.empty()) {
        const ssize_t n = ::write(master_, pending_.data(), pending_.size());
        if (n > 0) {
            pending_.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            return true;
        }
        return false;
    }
    return true;
}

void PtyServer::serve(LightBarrier& barrier, const Options& options) {
    bool peerAbsent = false;
    pending_.clear();
    while (!(options.stop && options.stop())) {
        const double now = monotonicSeconds();
        if (now >= options.until) {
            return;
        }
        const std::string out = barrier.transmit(now);
        // Bytes sent while nobody listens are lost, as on a real line.
        if (!out.empty() && !peerAbsent) {
            if (options.trace) {
                options.trace(false, out);
            }
            if (pending_.size() + out.size() <= maxPending) {
                pending_ += out;
            }
        }
        if (!peerAbsent && !writeLine()) {
            peerAbsent = true;
        }
        if (peerAbsent) {
            pending_.clear();
        }

        double wake = options.until;
        if (const std::optional<double> next = barrier.nextByteAt()) {
            wake = std::min(wake, *next);
        }
        if (peerAbsent) {
            wake = std::min(wake, now + absentPeerRetry);
        }
        timespec timeout{};
        const timespec* timeoutPtr = nullptr;
        if (std::isfinite(wake)) {
            const double wait = std::max(0.0, wake - now);
            timeout.tv_sec = static_cast<time_t>(wait);
            timeout.tv_nsec = static_cast<long>((wait - std::floor(wait)) * 1e9);
            timeoutPtr = &timeout;
        }
        pollfd pfd{master_, static_cast<short>(POLLIN | (pending_.empty() ? 0 : POLLOUT)), 0};
        const int ready =
            ::ppoll(peerAbsent ? nullptr : &pfd, peerAbsent ? 0 : 1, timeoutPtr, options.waitMask);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwErrno("ppoll");
        }
        if (peerAbsent) {
            peerAbsent = hungUp();
            continue;
        }
        if ((pfd.revents & POLLIN) != 0) {
            peerAbsent = !readLine(barrier, options);
        } else if ((pfd.revents & (POLLHUP | POLLERR)) != 0) {
            peerAbsent = true;
        }
    }
}

} // namespace orva::sim
