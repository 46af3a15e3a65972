// Two-window chat over the socket layer. Start it twice: the first window
// listens on the port, the second connects to it on 127.0.0.1. Press Return
// to type a line (InputLine); Return again sends it. Lines typed before the
// other window is there wait and go out when it connects. When one window
// leaves, the other ends too.
//
//   socket_chat [port]     (the port is 5757 unless given)
//
// The conversation is also written to standard output.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "velmora.h"

namespace {

constexpr int kDefaultPort = 5757;
constexpr int kLineHeight = 10;
constexpr int kShownLines = 44;
constexpr std::size_t kLongestLine = 200; // longer lines from the peer are cut in pieces

struct Chat {
    int port = kDefaultPort;
    std::int32_t listening = -1;
    std::int32_t peer = -1;
    std::vector<std::string> transcript;
    std::vector<std::string> outbox; // typed before the peer was there
    std::string partial;             // received bytes after the last line feed
};

void Say(Chat& chat, std::string line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    chat.transcript.push_back(std::move(line));
}

// The port from the command line's first argument after the program.
int PortFromCommandLine() {
    const std::string line(vlm::CommandLine().view());
    const std::size_t gap = line.find(' ');
    if (gap == std::string::npos) return kDefaultPort;
    const int port = std::atoi(line.c_str() + gap + 1);
    return port > 0 && port < 65536 ? port : kDefaultPort;
}

void Send(Chat& chat, const std::string& line) {
    const std::string bytes = line + "\n";
    vlm::SocketSend(chat.peer, bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

// Connects to a listening window, or else listens for one; then waits.
void FindPeer(Chat& chat) {
    if (chat.listening < 0) {
        chat.peer = vlm::SocketConnect(vlm::SocketMakeAddress(127, 0, 0, 1, chat.port));
        if (chat.peer >= 0) {
            Say(chat, "connected to 127.0.0.1:" + std::to_string(chat.port));
        } else if ((chat.listening = vlm::SocketListen(chat.port)) >= 0) {
            Say(chat, "listening on port " + std::to_string(chat.port));
        }
    }
    if (chat.listening >= 0 && (chat.peer = vlm::SocketAccept(chat.listening)) >= 0) {
        vlm::SocketClose(chat.listening);
        chat.listening = -1;
        Say(chat, "a peer has connected");
    }
    if (chat.peer < 0) return;
    for (const std::string& line : chat.outbox)
        Send(chat, line);
    chat.outbox.clear();
}

// Takes what has arrived; lines end at a line feed, control bytes are
// dropped. False once the peer has gone.
bool Receive(Chat& chat) {
    char buffer[512];
    for (;;) {
        const std::int32_t n = vlm::SocketReceive(chat.peer, buffer, sizeof buffer, 0);
        if (n == -2) return true;
        if (n <= 0) return false;
        for (int i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (c == '\n' || chat.partial.size() == kLongestLine) {
                Say(chat, "peer: " + chat.partial);
                chat.partial.clear();
            }
            if (static_cast<unsigned char>(c) >= 32) chat.partial += c;
        }
    }
}

void Draw(const Chat& chat, bool typing) {
    const std::size_t first = chat.transcript.size() > kShownLines ? chat.transcript.size() - kShownLines : 0;
    for (std::size_t i = first; i < chat.transcript.size(); ++i) {
        vlm::PrintText(chat.transcript[i].c_str(), 8, 8 + static_cast<double>(i - first) * kLineHeight);
    }
    vlm::PrintText(typing ? ">" : "Return: type a line", 8, 462);
}

} // namespace

void StartupSettings() {
    vlm::StartupSettings& s = vlm::TheStartupSettings();
    s.WindowWidth = 640;
    s.WindowHeight = 480;
    s.FrameRate = 60;
    s.Title = "socket chat";
}

void GameMain() {
    Chat chat;
    chat.port = PortFromCommandLine();
    vlm::SocketInit();
    for (;;) {
        if (chat.peer < 0) FindPeer(chat);
        if (chat.peer >= 0 && !Receive(chat)) {
            Say(chat, "the peer has left");
            vlm::SocketClose(chat.peer);
            vlm::SocketShutdown();
            vlm::EndProgram();
        }
        Draw(chat, false);
        if (vlm::ReadKeyChar() == "\n") {
            Draw(chat, true);
            const vlm::DynString typed = vlm::InputLine(24, 462);
            if (!typed.empty()) {
                const std::string line(typed.view());
                Say(chat, "me: " + line);
                if (chat.peer >= 0) {
                    Send(chat, line);
                } else {
                    chat.outbox.push_back(line);
                }
            }
            continue;
        }
        vlm::ShowFrame();
    }
}

extern const vlm::SubEntry SubRegistry[] = {{nullptr, nullptr}};
