#pragma once
// The DDE server: one service, one topic, one item (the engine registers
// "miller", "data", "status"). Clients reach it over a local socket named
// after the service; each transaction is one length-prefixed message (see
// TDDEMessage below). Poked texts go to OnPoke, requests and advise links
// get StatusText. TDDEServer is the "CIM DDE Server" window's logic; the
// window itself (shell/ui) shows it through OnChanged.
//
// Wire format, both ways: u32 length (little-endian) of what follows, then
// one type byte and the fields, each text ending in a zero byte.
//   client -> server                      server -> client
//   1 connect     service, topic          0x81 result (1 accepted, 0 refused)
//   2 wildconnect service, topic          0x82 pairs: service, topic, ..., "", ""
//   3 poke        item, data              0x83 result (1 DDE_FACK, 0 not processed)
//   4 request     item                    0x84 result, then the status text
//   5 advstart    item                    0x85 result
//   6 advstop     item                    0x86 result
//   7 disconnect  -                       0x87 result; the server closes
//                                         0x40 advise data: item, status text
//                                         0xFF error: a text; the server closes
// A message over 1024 bytes, a message of an unknown type, one whose
// fields are missing, or a transaction other than connect or wildconnect
// before a connect is an error. A client that ends its side ends its
// conversation. The socket takes at most 64 clients (one more gets the
// error "too many conversations"); a client that has not connected, or is
// in the middle of a message, for 10 s gets an error and is dropped.

#include "platform/LocalSocket.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orv {

enum TDDEMessage : uint8_t {
    ddeConnect = 1,
    ddeWildConnect = 2,
    ddePoke = 3,
    ddeRequest = 4,
    ddeAdviseStart = 5,
    ddeAdviseStop = 6,
    ddeDisconnect = 7,
    ddeReply = 0x80,
    ddeAdviseData = 0x40,
    ddeError = 0xFF,
};

// One message as it goes over the socket: the length, the type, the fields.
std::string DDEFrame(uint8_t Type, const std::vector<std::string> &Fields,
                     const std::string &Tail = std::string());

using TDDEProcedure = std::function<void(int ServerId, const std::string &Text)>;

class TDDEServer {
public:
    static constexpr int MaxAdviseLinks = 200;
    static constexpr size_t MaxMessage = 1024;
    static constexpr size_t MaxPoke = 255;

    TDDEServer() = default;
    ~TDDEServer();
    TDDEServer(const TDDEServer &) = delete;
    TDDEServer &operator=(const TDDEServer &) = delete;

    // Shows or hides the window (Visible), keeps the names, listens on the
    // socket named Service; "IDLE " is sent out. Registering the service it
    // already serves keeps the conversations and their advise links; a new
    // socket ends those of the old one and releases their links. False,
    // with a box saying why ("DDE Server Error"), when ServerId is not one
    // of 1 to 11 and 16 or the socket cannot be made; nothing is registered
    // then.
    bool Register_Server(int ServerId, const std::string &Service, const std::string &Topic,
                         const std::string &Item, bool Visible);
    // StatusText := Text, advised to every link, shown as "Data Out".
    void Send_data_out(const std::string &Text);
    // "BUSY " + the last poke without its first 10 characters.
    void send_busy_back();
    // Ends the registration and every conversation.
    void FormClose();
    // The window's Con_Discon button: "Disconnect" sends "NOT CONNECTED" and
    // unregisters; "Connect" registers (3, "miller", "data", "status",
    // shown) and sends "CONNECT" and "IDLE ".
    void Con_DisconClick();
    // The caption Con_Discon shows: "Disconnect" while connected.
    std::string ConnectCaption() const;
    // "Send Data": sends the text of "Data Out".
    void SendDataClick(const std::string &DataOut) { Send_data_out(DataOut); }

    // Serves the socket once (its timer does this too).
    void Poll() { FSocket.Poll(); }

    int ServerId() const { return FServerId; }
    bool Connected() const { return FConnected; }
    bool AdviseActive() const { return FAdviseLinks > 0; }
    int AdviseLinks() const { return FAdviseLinks; }
    const std::string &LastPoke() const { return FLastPoke; }
    const std::string &DDE_Input() const { return FInput; }
    const std::string &SocketPath() const { return FSocket.Path(); }
    bool Visible = false;

    std::string StatusText;
    TDDEProcedure OnPoke;
    TDDEProcedure OnDisconnect;
    // The window shows the state again (texts, caption, visibility).
    std::function<void()> OnChanged;
    // Polling interval of the socket, ms (0: the owner polls).
    int PollingDelay = 20;

    // The transaction rules (overridable as the window's virtual operations).
    virtual bool MatchTopicAndService(const std::string &Service) const;
    virtual bool MatchTopicAndItem(const std::string &Topic, const std::string &Item) const;
    // The pairs a wild connect lists: (service, topic) when it matches.
    virtual std::vector<std::string> WildConnect(const std::string &Topic,
                                                 const std::string &Service) const;
    virtual bool AcceptPoke(const std::string &Item, const std::string &Data);
    virtual std::string DataRequested();

private:
    struct TConversation {
        std::string Buffer;
        bool Connected = false;
        std::string Topic;
        int AdviseLinks = 0; // this conversation's share of the links
    };
    void Changed();
    bool Listen(int ServerId, const std::string &Service, std::string &Error);
    void EndAllConversations();
    void Received(int Connection, const uint8_t *Data, size_t Count);
    void ServeMessages(int Connection);
    bool Transaction(int Connection, TConversation &C, uint8_t Type,
                     const std::vector<std::string> &Fields, std::string &Error);
    void Reply(int Connection, uint8_t Type, bool Result, const std::string &Tail = {});
    void Refuse(int Connection, const std::string &Why);
    void EndConversation(int Connection);
    void Advise();

    TLocalServer FSocket;
    std::map<int, TConversation> FConversations;
    int FServerId = 0;
    std::string FService, FTopic, FItem;
    bool FConnected = false;
    int FAdviseLinks = 0;
    int FConversation = 0; // the last confirmed connection
    std::string FLastPoke;
    std::string FInput;
};

// The DDE manager: makes the one server window; the engine's DDE switch
// frees it.
class TDDEMan {
public:
    TDDEMan();
    TDDEServer &Server() { return *FServer; }

private:
    std::unique_ptr<TDDEServer> FServer;
};

} // namespace orv
