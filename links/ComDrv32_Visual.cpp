#include "links/ComDrv32_Visual.h"

#include "platform/IniFile.h"
#include "platform/MessageService.h"

#include <algorithm>

namespace orv {

namespace {

const char *const Section = "RS232";

// The nine rates of the dialog are the first nine of the driver's table.
constexpr int RateCount = 9;

int Clamp(int Value, int Low, int High) { return std::min(std::max(Value, Low), High); }

} // namespace

TCommPortDriverVisual::TCommPortDriverVisual()
{
    // Design-time values; every connect replaces them from [RS232].
    FDriver.SetComPort(pnCOM2);
    FDriver.SetComPortSpeed(br19200);
    FDriver.SetComPortHwHandshaking(hhRTSCTS);
    FDriver.OnReceiveData = [this](TObject *Sender, const uint8_t *Data, int Size) {
        if (OnReceiveData)
            OnReceiveData(Sender, Data, Size);
    };
}

TCommPortDriverVisual::~TCommPortDriverVisual() { Disconnect(); }

void TCommPortDriverVisual::LoadSettings()
{
    TIniFile ini(ini_name);
    FGroups.ComPortRG = ini.ReadInteger(Section, "com port", 1);
    FGroups.BaudRateRG = ini.ReadInteger(Section, "Baud Rate", 6);
    FGroups.DataBitsRG = ini.ReadInteger(Section, "Data Bits", 3);
    FGroups.ParityRG = ini.ReadInteger(Section, "Parity", 2);
    FGroups.HandshakingRG = ini.ReadInteger(Section, "Hand Shaking", 0);
    FGroups.stop_bits = ini.ReadInteger(Section, "Stop Bits", 2);
    ApplyDialogSettings();
}

// An index outside a group (a hand-edited file) is taken as the group's
// nearest item, as a radio group shows no item past its last.
void TCommPortDriverVisual::ApplyDialogSettings()
{
    if (!FDriver.Connected())
        FDriver.SetComPort(TComPortNumber(Clamp(FGroups.ComPortRG, 0, 3)));
    FDriver.SetComPortSpeed(TComPortBaudRate(Clamp(FGroups.BaudRateRG, 0, RateCount - 1)));
    FDriver.SetComPortDataBits(TComPortDataBits(Clamp(FGroups.DataBitsRG, 0, 3)));
    FDriver.SetComPortParity(TComPortParity(Clamp(FGroups.ParityRG, 0, 4)));
    const int hand = Clamp(FGroups.HandshakingRG, 0, 3);
    FDriver.SetComPortHwHandshaking(hand == 1 || hand == 3 ? hhRTSCTS : hhNONE);
    FDriver.SetComPortSwHandshaking(hand == 2 || hand == 3 ? shXONXOFF : shNONE);
    FDriver.SetComPortStopBits(TComPortStopBits(Clamp(FGroups.stop_bits, 0, 2)));
}

bool TCommPortDriverVisual::Connect()
{
    FDriver.SettingsFile = MapFile();
    LoadSettings();
    return FDriver.Connect();
}

void TCommPortDriverVisual::Disconnect() { FDriver.Disconnect(); }

bool TCommPortDriverVisual::Connected() const { return FDriver.Connected(); }

void TCommPortDriverVisual::FlushBuffers(bool Input, bool Output)
{
    FDriver.FlushBuffers(Input, Output);
}

int TCommPortDriverVisual::OutFreeSpace() const { return FDriver.OutFreeSpace(); }

int TCommPortDriverVisual::SendData(const uint8_t *Buffer, int Count)
{
    return FDriver.SendData(Buffer, Count);
}

bool TCommPortDriverVisual::SendString(const std::string &S) { return FDriver.SendString(S); }

void TCommPortDriverVisual::GroupsFromProperties()
{
    FGroups.ComPortRG = int(FDriver.ComPort());
    FGroups.BaudRateRG = int(FDriver.ComPortSpeed());
    FGroups.DataBitsRG = int(FDriver.ComPortDataBits());
    FGroups.ParityRG = int(FDriver.ComPortParity());
    const bool hw = FDriver.ComPortHwHandshaking() == hhRTSCTS;
    const bool sw = FDriver.ComPortSwHandshaking() == shXONXOFF;
    FGroups.HandshakingRG = hw && sw ? 3 : sw ? 2 : hw ? 1 : 0;
    FGroups.stop_bits = int(FDriver.ComPortStopBits());
}

int TCommPortDriverVisual::ShowSettingsDialog()
{
    LoadSettings();
    GroupsFromProperties();
    TRs232Groups shown = FGroups;
    const int result = Dialog ? Dialog(shown) : int(mrCancel);
    if (result != mrOk)
        return result;
    FGroups = shown;
    ApplyDialogSettings();
    TIniFile ini(ini_name);
    ini.WriteInteger(Section, "com port", FGroups.ComPortRG);
    ini.WriteInteger(Section, "Baud Rate", FGroups.BaudRateRG);
    ini.WriteInteger(Section, "Data Bits", FGroups.DataBitsRG);
    ini.WriteInteger(Section, "Parity", FGroups.ParityRG);
    ini.WriteInteger(Section, "Hand Shaking", FGroups.HandshakingRG);
    ini.WriteInteger(Section, "Stop Bits", FGroups.stop_bits);
    return result;
}

} // namespace orv
