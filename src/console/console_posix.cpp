#include "console.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <string_view>

#include <poll.h>
#include <termios.h>
#include <unistd.h>

// The shell here has no "cls" and no "pause": both effects are made
// directly on the terminal, without starting a process.

namespace {

constexpr std::string_view prompt = "Press any key to continue . . . ";

// How long the input must stay quiet before a burst of it is over: the rest
// of an arrow key's sequence on a slow line, or the next piece of a paste.
constexpr int burstGapMilliseconds = 100;

// While the pause has the terminal, these signals put its settings back
// first, and SIGCONT takes the key mode again. SIGPIPE is among them because
// the prompt is shown again after a stop.
constexpr std::array<int, 7> handledSignals{SIGINT,  SIGTERM, SIGHUP, SIGQUIT,
                                            SIGPIPE, SIGTSTP, SIGCONT};
using SignalActions = std::array<struct sigaction, handledSignals.size()>;

// The settings to put back while a signal interrupts the pause, and the key
// mode to take again after a stop; a signal handler can reach nothing but
// static storage.
termios savedSettings; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)
termios keySettings;   // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

extern "C" void restoreAndDie(int signalNumber) {
    tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
    // The handler has reset itself to the default action, and the signal is
    // blocked until the handler returns: then it ends the program as usual.
    (void)raise(signalNumber);
}

extern "C" void restoreAndStop(int signalNumber);

// Whoever stopped the game, Ctrl-Z or a plain SIGSTOP, the shell has had the
// terminal meanwhile, in its own mode and writing over the screen.
extern "C" void retakeKeyMode(int /*signalNumber*/) {
    const int savedErrno = errno;
    tcsetattr(STDIN_FILENO, TCSANOW, &keySettings);
    [[maybe_unused]] const ssize_t shown = write(STDOUT_FILENO, prompt.data(), prompt.size());
    errno = savedErrno;
}

sigset_t handledSignalsBut(int excluded) {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int other : handledSignals) {
        if (other != excluded) {
            sigaddset(&signals, other);
        }
    }
    return signals;
}

// Every handler runs with the others held off, so that none of them can
// undo what another has just put back.
struct sigaction restoringAction(int signalNumber) {
    struct sigaction action {};
    action.sa_mask = handledSignalsBut(signalNumber);
    if (signalNumber == SIGTSTP) {
        // Not deferred: raised again inside the handler, it stops the process
        // there, and the handler goes on once the process is continued. The
        // SIGCONT of that continue waits until the handler is done.
        action.sa_handler = restoreAndStop;
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
    } else if (signalNumber == SIGCONT) {
        action.sa_handler = retakeKeyMode;
    } else {
        action.sa_handler = restoreAndDie;
        action.sa_flags = SA_RESETHAND;
    }
    return action;
}

extern "C" void restoreAndStop(int signalNumber) {
    const int savedErrno = errno;
    tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
    (void)raise(signalNumber);

    const struct sigaction action = restoringAction(signalNumber);
    sigaction(signalNumber, &action, nullptr);
    errno = savedErrno;
}

SignalActions catchSignals() {
    SignalActions previous{};
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        sigaction(handledSignals.at(i), nullptr, &previous.at(i));
        // A signal ignored by whoever started us stays ignored.
        if (previous.at(i).sa_handler != SIG_IGN) {
            const struct sigaction action = restoringAction(handledSignals.at(i));
            sigaction(handledSignals.at(i), &action, nullptr);
        }
    }
    return previous;
}

// Puts the settings back and the signals' actions with every handled signal
// held off: a continue in between would take the key mode again for good.
void restoreAndReleaseSignals(const SignalActions &previous) {
    const sigset_t handled = handledSignalsBut(0);
    sigset_t before;
    sigprocmask(SIG_BLOCK, &handled, &before);
    tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        sigaction(handledSignals.at(i), &previous.at(i), nullptr);
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

ssize_t readRetrying(unsigned char *buffer, std::size_t size) {
    ssize_t count = 0;
    do {
        count = read(STDIN_FILENO, buffer, size);
    } while (count < 0 && errno == EINTR);
    return count;
}

bool inputWithin(int milliseconds) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&input, 1, milliseconds);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

// Takes one key press and the whole burst that comes with it: the rest of a
// function or arrow key's sequence, or a paste of any length. None of it may
// become an answer.
void takeKeyWithItsBurst() {
    std::array<unsigned char, 256> bytes{};
    if (readRetrying(bytes.data(), bytes.size()) <= 0) {
        return;
    }
    while (inputWithin(burstGapMilliseconds) && readRetrying(bytes.data(), bytes.size()) > 0) {
    }
}

void waitForTerminalKey() {
    if (tcgetattr(STDIN_FILENO, &savedSettings) != 0) {
        return;
    }
    keySettings = savedSettings;
    keySettings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    keySettings.c_cc[VMIN] = 1;
    keySettings.c_cc[VTIME] = 0;

    const SignalActions previous = catchSignals();
    if (tcsetattr(STDIN_FILENO, TCSANOW, &keySettings) == 0) {
        takeKeyWithItsBurst();
    }
    restoreAndReleaseSignals(previous);
}

// Redirected input gives up one byte, as the Windows interpreter's pause
// takes one, so a script plays the same turns on both.
void takeOneByte() {
    unsigned char byte = 0;
    readRetrying(&byte, 1);
}

// A terminal that TERM does not name, or names as dumb, has no clear
// sequence; the turn then simply follows below.
bool canClearOutput() {
    const char *term = std::getenv("TERM");
    const std::string_view name = term == nullptr ? "" : term;
    return isatty(STDOUT_FILENO) == 1 && !name.empty() && name != "dumb";
}

} // namespace

void clearConsole() {
    if (!std::cout.flush()) {
        return;
    }
    // Asked once: neither answer changes during a run.
    static const bool canClear = canClearOutput();
    if (canClear) {
        // Home, clear the screen, and clear the scrollback as well, as
        // Windows' cls clears the whole buffer. The sequence reaches the
        // terminal in order with the text that follows, so it needs no flush
        // (and no system call) of its own.
        std::cout << "\x1b[H\x1b[2J\x1b[3J";
    }
}

void waitForKey() {
    if (!(std::cout << prompt << std::flush)) {
        return;
    }
    if (isatty(STDIN_FILENO) == 1) {
        waitForTerminalKey();
    } else {
        takeOneByte();
    }
    std::cout << '\n';
}
