#include "links/KeplinDriverNew.h"

#include "engine/core/DUtils.h"
#include "links/ComDrv32.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <filesystem>

namespace orv {

namespace {

constexpr int ControlFields = 26;

bool NamesFolder(const std::string &Name)
{
    return NormalisePath(Name).find('/') != std::string::npos;
}

std::vector<std::string> Fields(const std::string &Text)
{
    std::vector<std::string> out;
    size_t at = 0;
    for (;;) {
        size_t comma = Text.find(',', at);
        out.push_back(Trim(Text.substr(at, comma == std::string::npos ? comma : comma - at)));
        if (comma == std::string::npos)
            return out;
        at = comma + 1;
    }
}

unsigned ShiftOf(const std::string &Field)
{
    if (Field == "0")
        return ksShift;
    if (Field == "1")
        return ksAlt;
    if (Field == "2")
        return ksCtrl;
    return 0;
}

} // namespace

int KeplinButtonNumber(const std::string &Text)
{
    int32_t n = 0;
    if (!TryStrToInt(Trim(Text), n) || n < 0 || n >= TKeplinDriver::ButtonCount)
        return -1;
    return n;
}

TKeplinDriver::TKeplinDriver(TObject *Owner) : FOwner(Owner) {}

TKeplinDriver::~TKeplinDriver() = default;

void TKeplinDriver::LoadButtonMap(const std::string &FileName)
{
    // A table belongs to its file: nothing of the one read before stays.
    for (TKeplinButton &b : FButtons)
        b = TKeplinButton();
    FFileName = NamesFolder(FileName) ? FileName : IncludeTrailingDelimiter(ExeFolder()) + FileName;
    std::error_code ec;
    if (FileName.empty() || !std::filesystem::is_regular_file(FFileName, ec))
        return;
    TIniFile ini(FFileName);
    for (int i = 0; i < ButtonCount; ++i) {
        std::vector<std::string> f = Fields(ini.ReadString("buttons", IntToStr(i), "0"));
        int32_t key = 0;
        if (!TryStrToInt(f[0], key))
            continue; // not a valid entry: the button keeps what it had
        FButtons[i].Key = uint8_t(key & 0xFF);
        FButtons[i].Shift = f.size() > 1 ? ShiftOf(f[1]) : 0;
    }
}

void TKeplinDriver::OpenPort(int Port)
{
    if (Port <= 0 || Port > 8)
        return;
    if (!FPort) {
        FPort = std::make_unique<TCommPortDriver>();
        FPort->SetComPortSpeed(br9600);
        FPort->SetComPortDataBits(db8BITS);
        FPort->SetComPortParity(ptNONE);
        FPort->SetComPortStopBits(sb2BITS);
        FPort->SetComPortHwHandshaking(hhNONE);
        FPort->SetComPortSwHandshaking(shNONE);
        FPort->EnableDTROnOpen = true;
        FPort->OnReceiveData = [this](TObject *Sender, const uint8_t *Data, int Size) {
            ReceiveData(Sender, Data, Size);
        };
    }
    FPort->SettingsFile = SettingsFile;
    FPort->Disconnect();
    FPort->SetComPort(TComPortNumber(Port - 1));
    if (FPort->Connect())
        FPort->FlushBuffers(true, true);
}

void TKeplinDriver::ClosePort()
{
    if (FPort)
        FPort->Disconnect();
}

bool TKeplinDriver::MapControl(const std::string &Control, const std::string &FunctionName)
{
    std::error_code ec;
    if (FFileName.empty() || !std::filesystem::is_regular_file(FFileName, ec))
        return false;
    std::vector<std::string> f =
        Fields(TIniFile(FFileName).ReadString("Control", FunctionName, ""));
    for (size_t i = 0; i < f.size() && i < size_t(ControlFields); ++i) {
        if (f[i].empty())
            continue;
        const int button = KeplinButtonNumber(f[i]);
        if (button < 0)
            return false; // not a button of the console: skipped
        FButtons[button].Control = Control;
        return true;
    }
    return false;
}

void TKeplinDriver::ReceiveData(TObject *Sender, const uint8_t *Data, int Count)
{
    for (int i = 0; Data && i < Count; ++i) {
        if (Data[i] != 0)
            FStarted = true;
        if (!FStarted)
            return; // the console's line noise before its first real byte
        const TKeplinButton &b = FButtons[Data[i] & 0x7F];
        const bool release = (Data[i] & 0x80) != 0;
        if (!b.Control.empty()) {
            if (OnControl)
                OnControl(b.Control, !release);
        } else if (!release && b.Key != 0 && OnKey) {
            OnKey(b.Key, b.Shift);
        }
    }
}

} // namespace orv
