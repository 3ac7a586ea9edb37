#include "console.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <iostream>

#include <termios.h>
#include <unistd.h>

// The shell here has no "cls" and no "pause": both effects are made
// directly on the terminal, without starting a process.

namespace {

constexpr unsigned char escape = 0x1b;

constexpr std::array<int, 4> fatalSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};
using SignalActions = std::array<struct sigaction, fatalSignals.size()>;

// The settings to put back when a signal ends the program during the pause;
// a signal handler can reach nothing but static storage.
termios savedSettings; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

extern "C" void restoreAndDie(int signalNumber) {
    tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
    // The handler has reset itself to the default action, and the signal is
    // blocked until the handler returns: then it ends the program as usual.
    (void)raise(signalNumber);
}

SignalActions catchFatalSignals() {
    struct sigaction restoring {};
    restoring.sa_handler = restoreAndDie;
    restoring.sa_flags = SA_RESETHAND;
    sigemptyset(&restoring.sa_mask);
    for (const int signalNumber : fatalSignals) {
        sigaddset(&restoring.sa_mask, signalNumber);
    }

    SignalActions previous{};
    for (std::size_t i = 0; i < fatalSignals.size(); ++i) {
        sigaction(fatalSignals.at(i), nullptr, &previous.at(i));
        // A signal ignored by whoever started us stays ignored.
        if (previous.at(i).sa_handler != SIG_IGN) {
            sigaction(fatalSignals.at(i), &restoring, nullptr);
        }
    }
    return previous;
}

void releaseFatalSignals(const SignalActions &previous) {
    for (std::size_t i = 0; i < fatalSignals.size(); ++i) {
        sigaction(fatalSignals.at(i), &previous.at(i), nullptr);
    }
}

ssize_t readRetrying(unsigned char *buffer, std::size_t size) {
    ssize_t count = 0;
    do {
        count = read(STDIN_FILENO, buffer, size);
    } while (count < 0 && errno == EINTR);
    return count;
}

// Reads one key in the terminal's current mode. Function and arrow keys send
// a sequence that begins with escape, usually in one piece; what a slow line
// delivers a moment later still belongs to the same key.
void readOneKey(termios keyMode) {
    std::array<unsigned char, 64> bytes{};
    const ssize_t count = readRetrying(bytes.data(), bytes.size());
    if (count <= 0 || bytes[0] != escape) {
        return;
    }
    keyMode.c_cc[VMIN] = 0;
    keyMode.c_cc[VTIME] = 1; // tenths of a second
    tcsetattr(STDIN_FILENO, TCSANOW, &keyMode);
    while (readRetrying(bytes.data(), bytes.size()) > 0) {
    }
}

void waitForTerminalKey() {
    if (tcgetattr(STDIN_FILENO, &savedSettings) != 0) {
        return;
    }
    const SignalActions previous = catchFatalSignals();

    termios keyMode = savedSettings;
    keyMode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    keyMode.c_cc[VMIN] = 1;
    keyMode.c_cc[VTIME] = 0;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &keyMode) == 0) {
        readOneKey(keyMode);
    }

    tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
    releaseFatalSignals(previous);
}

// Redirected input gives up one byte, as the Windows interpreter's pause
// takes one, so a script plays the same turns on both.
void takeOneByte() {
    unsigned char byte = 0;
    readRetrying(&byte, 1);
}

} // namespace

void clearConsole() {
    if (!std::cout.flush()) {
        return;
    }
    // Asked once: whether standard output is a terminal does not change
    // during a run.
    static const bool toTerminal = isatty(STDOUT_FILENO) == 1;
    if (toTerminal) {
        // Home, clear the screen, and clear the scrollback as well, as
        // Windows' cls clears the whole buffer. The sequence reaches the
        // terminal in order with the text that follows, so it needs no flush
        // (and no system call) of its own.
        std::cout << "\x1b[H\x1b[2J\x1b[3J";
    }
}

void waitForKey() {
    if (!(std::cout << "Press any key to continue . . . " << std::flush)) {
        return;
    }
    if (isatty(STDIN_FILENO) == 1) {
        waitForTerminalKey();
    } else {
        takeOneByte();
    }
    std::cout << '\n';
}
