#include "shell/simple_server_one.h"

#include "engine/core/Mess.h"
#include "platform/MessageService.h"

#include <cstring>

namespace orv {

namespace {

constexpr size_t HeaderSize = 4;

uint32_t ReadU32(const std::string &Bytes)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | uint8_t(Bytes[size_t(i)]);
    return v;
}

std::string U32(uint32_t Value)
{
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[size_t(i)] = char((Value >> (8 * i)) & 0xFF);
    return out;
}

// The zero-terminated fields of a message body; false when one lacks its zero.
bool SplitFields(const std::string &Body, size_t Count, std::vector<std::string> &Fields)
{
    size_t at = 0;
    for (size_t i = 0; i < Count; ++i) {
        size_t zero = Body.find('\0', at);
        if (zero == std::string::npos)
            return false;
        Fields.push_back(Body.substr(at, zero - at));
        at = zero + 1;
    }
    return at == Body.size();
}

size_t FieldCount(uint8_t Type)
{
    switch (Type) {
    case ddeConnect:
    case ddeWildConnect:
    case ddePoke: return 2;
    case ddeRequest:
    case ddeAdviseStart:
    case ddeAdviseStop: return 1;
    default: return 0;
    }
}

bool KnownType(uint8_t Type) { return Type >= ddeConnect && Type <= ddeDisconnect; }

// DDEML's callback entries exist for these ids only.
bool IsServerId(int Id) { return (Id >= 1 && Id <= 11) || Id == 16; }

std::string Tr(const std::string &Text) { return Mess().Translate(Text); }

} // namespace

std::string DDEFrame(uint8_t Type, const std::vector<std::string> &Fields, const std::string &Tail)
{
    std::string body(1, char(Type));
    for (const std::string &f : Fields)
        body += f + '\0';
    body += Tail;
    return U32(uint32_t(body.size())) + body;
}

TDDEServer::~TDDEServer() { FSocket.Close(); }

void TDDEServer::Changed()
{
    if (OnChanged)
        OnChanged();
}

bool TDDEServer::Register_Server(int ServerId, const std::string &Service,
                                 const std::string &Topic, const std::string &Item, bool Visible)
{
    this->Visible = Visible;
    // Registering the same service again (the machine data applied once
    // more) keeps the socket and the conversations on it, with their links.
    const bool again = FSocket.Listening() && Service == FService && IsServerId(ServerId);
    FServerId = ServerId;
    FService = Service;
    FTopic = Topic;
    FItem = Item;
    std::string error;
    if (!again && !Listen(ServerId, Service, error)) {
        FConnected = false;
        MessageDlg(Tr("DDE Server Error"), Tr("Unable to register the DDE service") + " \"" +
                                               Service + "\": " + error,
                   mtError, mbOK);
        Changed();
        return false;
    }
    StatusText = "IDLE ";
    Send_data_out("IDLE ");
    FConnected = true;
    Changed();
    return true;
}

// A new socket: the conversations of the one before end with it, and so
// do their advise links.
bool TDDEServer::Listen(int ServerId, const std::string &Service, std::string &Error)
{
    EndAllConversations();
    if (!IsServerId(ServerId)) {
        Error = "Server id " + std::to_string(ServerId) + " is not supported";
        return false;
    }
    if (!FSocket.Listen(Service, Error, PollingDelay))
        return false;
    FSocket.BusyReply = DDEFrame(ddeError, {}, "too many conversations");
    FSocket.OnData = [this](int Connection, const uint8_t *Data, size_t Count) {
        Received(Connection, Data, Count);
    };
    // A client that ends in the middle of a message gets the error reply.
    FSocket.OnDisconnect = [this](int Connection) {
        auto it = FConversations.find(Connection);
        if (it != FConversations.end() && !it->second.Buffer.empty()) {
            const std::string frame = DDEFrame(ddeError, {}, "short message");
            FSocket.Send(Connection, frame.data(), frame.size());
        }
        EndConversation(Connection);
    };
    // A client that connects and never finishes a message is dropped.
    FSocket.OnTimeOut = [this](int Connection) {
        const std::string frame = DDEFrame(
            ddeError, {},
            "no whole message within " + std::to_string(FSocket.IdleTimeoutMs / 1000) + " s");
        FSocket.Send(Connection, frame.data(), frame.size());
        EndConversation(Connection);
    };
    return true;
}

void TDDEServer::EndAllConversations()
{
    std::vector<int> ids;
    for (const auto &entry : FConversations)
        ids.push_back(entry.first);
    for (int id : ids) {
        EndConversation(id);
        FSocket.CloseConnection(id);
    }
}

void TDDEServer::Send_data_out(const std::string &Text)
{
    StatusText = Text;
    Advise();
    Changed();
}

void TDDEServer::send_busy_back()
{
    Send_data_out("BUSY " + (FLastPoke.size() > 10 ? FLastPoke.substr(10) : std::string()));
}

void TDDEServer::FormClose()
{
    for (auto &entry : FConversations)
        FAdviseLinks -= entry.second.AdviseLinks;
    FConversations.clear();
    FSocket.Close();
    FConnected = false;
    Changed();
}

void TDDEServer::Con_DisconClick()
{
    if (FConnected) {
        Send_data_out("NOT CONNECTED");
        FormClose();
        return;
    }
    if (Register_Server(3, "miller", "data", "status", true)) {
        Send_data_out("CONNECT");
        Send_data_out("IDLE ");
    }
}

std::string TDDEServer::ConnectCaption() const
{
    return Tr(FConnected ? "Disconnect" : "Connect");
}

bool TDDEServer::MatchTopicAndService(const std::string &Service) const
{
    return Service == FService;
}

bool TDDEServer::MatchTopicAndItem(const std::string &Topic, const std::string &Item) const
{
    return Topic == FTopic && Item == FItem;
}

std::vector<std::string> TDDEServer::WildConnect(const std::string &Topic,
                                                 const std::string &Service) const
{
    const bool match = (Topic.empty() && Service.empty()) ||
                       (Topic.empty() && Service == FService) ||
                       (Topic == FTopic && Service.empty());
    if (!match)
        return {};
    return {FService, FTopic};
}

// At most 255 bytes, up to the first zero; an identical text poked again is
// acknowledged but not passed on until a request or a disconnect.
bool TDDEServer::AcceptPoke(const std::string &Item, const std::string &Data)
{
    if (Item != FItem)
        return false;
    std::string text = Data.substr(0, MaxPoke);
    text = text.substr(0, text.find('\0'));
    FInput = text;
    Changed();
    if (text != FLastPoke) {
        FLastPoke = text;
        if (OnPoke)
            OnPoke(FServerId, text);
        if (FAdviseLinks > 0)
            Advise();
    }
    return true;
}

std::string TDDEServer::DataRequested()
{
    FLastPoke.clear();
    return StatusText.substr(0, MaxPoke - 1);
}

void TDDEServer::Advise()
{
    if (FAdviseLinks <= 0)
        return;
    const std::string frame = DDEFrame(ddeAdviseData, {FItem}, StatusText.substr(0, MaxPoke - 1));
    std::vector<int> linked;
    for (const auto &entry : FConversations)
        if (entry.second.AdviseLinks > 0)
            linked.push_back(entry.first);
    for (int id : linked)
        FSocket.Send(id, frame.data(), frame.size());
}

void TDDEServer::Reply(int Connection, uint8_t Type, bool Result, const std::string &Tail)
{
    const std::string frame =
        DDEFrame(uint8_t(ddeReply | Type), {}, std::string(1, char(Result ? 1 : 0)) + Tail);
    FSocket.Send(Connection, frame.data(), frame.size());
}

// A malformed message ends its conversation; nothing else happens.
void TDDEServer::Refuse(int Connection, const std::string &Why)
{
    const std::string frame = DDEFrame(ddeError, {}, Why);
    FSocket.Send(Connection, frame.data(), frame.size());
    EndConversation(Connection);
    FSocket.CloseConnection(Connection);
}

void TDDEServer::EndConversation(int Connection)
{
    auto it = FConversations.find(Connection);
    if (it == FConversations.end())
        return;
    const bool wasConnected = it->second.Connected;
    FAdviseLinks -= it->second.AdviseLinks;
    FConversations.erase(it);
    if (!wasConnected)
        return;
    FLastPoke.clear();
    if (OnDisconnect)
        OnDisconnect(FServerId, "Closing");
}

void TDDEServer::Received(int Connection, const uint8_t *Data, size_t Count)
{
    FConversations[Connection].Buffer.append(reinterpret_cast<const char *>(Data), Count);
    ServeMessages(Connection);
    // A connected conversation between messages may wait as long as it
    // likes; a message under way, or no connect yet, runs against the clock.
    auto it = FConversations.find(Connection);
    if (it != FConversations.end())
        FSocket.KeepOpen(Connection, it->second.Connected && it->second.Buffer.empty());
}

void TDDEServer::ServeMessages(int Connection)
{
    for (;;) {
        auto it = FConversations.find(Connection);
        if (it == FConversations.end())
            return;
        TConversation &c = it->second;
        if (c.Buffer.size() < HeaderSize)
            return;
        const uint32_t length = ReadU32(c.Buffer);
        if (length == 0 || length > MaxMessage)
            return Refuse(Connection, "message length " + std::to_string(length) +
                                          " outside 1 to " + std::to_string(MaxMessage));
        if (c.Buffer.size() < HeaderSize + length)
            return;
        const uint8_t type = uint8_t(c.Buffer[HeaderSize]);
        const std::string body = c.Buffer.substr(HeaderSize + 1, length - 1);
        c.Buffer.erase(0, HeaderSize + length);
        std::vector<std::string> fields;
        std::string error;
        if (!KnownType(type))
            error = "unknown transaction " + std::to_string(type);
        else if (type == ddePoke ? !SplitFields(body.substr(0, body.find('\0') + 1), 1, fields)
                                 : !SplitFields(body, FieldCount(type), fields))
            error = "malformed transaction " + std::to_string(type);
        else if (type == ddePoke)
            fields.push_back(body.substr(fields[0].size() + 1));
        if (error.empty() && !Transaction(Connection, c, type, fields, error))
            return; // the conversation ended
        if (!error.empty())
            return Refuse(Connection, error);
    }
}

// One transaction; false when it ended the conversation.
bool TDDEServer::Transaction(int Connection, TConversation &C, uint8_t Type,
                             const std::vector<std::string> &Fields, std::string &Error)
{
    if (Type == ddeWildConnect) {
        std::vector<std::string> pairs = WildConnect(Fields[1], Fields[0]);
        pairs.push_back("");
        pairs.push_back("");
        const std::string frame = DDEFrame(uint8_t(ddeReply | Type), pairs);
        FSocket.Send(Connection, frame.data(), frame.size());
        return true;
    }
    if (Type == ddeConnect) {
        const bool accept = MatchTopicAndService(Fields[0]);
        if (accept) {
            C.Connected = true;
            C.Topic = Fields[1];
            FConversation = Connection;
        }
        Reply(Connection, Type, accept);
        return true;
    }
    if (!C.Connected) {
        Error = "transaction " + std::to_string(Type) + " before a connect";
        return true;
    }
    switch (Type) {
    case ddePoke: Reply(Connection, Type, AcceptPoke(Fields[0], Fields[1])); break;
    case ddeRequest:
        if (MatchTopicAndItem(C.Topic, Fields[0]))
            Reply(Connection, Type, true, DataRequested() + '\0');
        else
            Reply(Connection, Type, false);
        break;
    case ddeAdviseStart: {
        const bool ok = MatchTopicAndItem(C.Topic, Fields[0]) && FAdviseLinks < MaxAdviseLinks;
        if (ok) {
            ++FAdviseLinks;
            ++C.AdviseLinks;
        }
        Reply(Connection, Type, ok);
        break;
    }
    case ddeAdviseStop: {
        const bool ok = MatchTopicAndItem(C.Topic, Fields[0]) && C.AdviseLinks > 0;
        if (ok) {
            --FAdviseLinks;
            --C.AdviseLinks;
        }
        Reply(Connection, Type, ok);
        break;
    }
    case ddeDisconnect:
        Reply(Connection, Type, true);
        EndConversation(Connection);
        FSocket.CloseConnection(Connection);
        return false;
    default: break;
    }
    return FConversations.count(Connection) != 0;
}

TDDEMan::TDDEMan() : FServer(std::make_unique<TDDEServer>()) {}

} // namespace orv
