#include "engine/simlink/ThreeD_form.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <cstdlib>

namespace orv {

namespace {

constexpr const char *Section = "3D Graphics";
constexpr int32_t IdMode = 1, IdBackground = 5, IdBillet = 6, IdSurface = 7, IdSave = 12,
                  IdRedraw = 14, IdAboutBox = -552;

double ReadReal(const TIniFile &Ini, const char *Key, double Default)
{
    const std::string text = Ini.ReadString(Section, Key, "");
    if (text.empty())
        return Default;
    char *end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    return end && *end == '\0' ? v : Default;
}

} // namespace

TThreeD_form::TThreeD_form(std::unique_ptr<TThreeDView> View, TComPtr Control,
                           std::string SettingsFile)
    : FView(std::move(View)), FControl(std::move(Control)), FSettingsFile(std::move(SettingsFile))
{
    FTimer.SetInterval(500);
    FTimer.OnTimer = [this] {
        FTimer.SetEnabled(false);
        Redraw(4);
        Redraw(9);
    };
    if (FView)
        FView->Attach(*this);
    if (FControl && FControl->Control() && FView && FView->ControlParent())
        FView->SetControlWindow(FControl->Control()->CreateControlWindow(FView->ControlParent()));
}

TThreeD_form::~TThreeD_form()
{
    FTimer.SetEnabled(false);
    TIniFile ini(FSettingsFile);
    ini.WriteString(Section, "Rapid Feed", FloatToStr(RapidFeed));
    ini.WriteBool(Section, "Use Offsets", UseOffsets);
    ini.WriteBool(Section, "AutoSave Bitmap", AutoSave);
    FControl.reset();
}

void TThreeD_form::FormCreate()
{
    const TIniFile ini(FSettingsFile);
    RapidFeed = ReadReal(ini, "Rapid Feed", -1);
    UseOffsets = ini.ReadBool(Section, "Use Offsets", false);
    AutoSave = ini.ReadBool(Section, "AutoSave Bitmap", false);
    DrawMode = ini.ReadInteger(Section, "Draw Mode", 2);
    Put(IdMode, TVariant::I4(DrawMode));
    Put(IdBackground, TVariant::I4(ini.ReadInteger(Section, "Back Colour", 16711680)));
    Put(IdBillet, TVariant::I4(ini.ReadInteger(Section, "Billet colour", 12632256)));
    Put(IdSurface, TVariant::I4(ini.ReadInteger(Section, "Surface Colour", 128)));
    if (FView) {
        FView->TickDrawMode(DrawMode);
        FView->SetAutoSaveTick(AutoSave);
        FView->SetOffsetsTick(UseOffsets);
    }
}

void TThreeD_form::LanguageChanged()
{
    if (OnLanguageChanged)
        OnLanguageChanged();
}

TComResult TThreeD_form::Call(int32_t Id, const std::vector<TVariant> &Args, TVariant *Result)
{
    if (!FControl)
        return E_POINTER;
    return FControl->Invoke(Id, DISPATCH_METHOD, Args, Result);
}

TComResult TThreeD_form::Put(int32_t Id, const TVariant &Value)
{
    if (!FControl)
        return E_POINTER;
    return FControl->Invoke(Id, DISPATCH_PROPERTYPUT, {Value}, nullptr);
}

TComResult TThreeD_form::Get(int32_t Id, TVariant &Value)
{
    if (!FControl)
        return E_POINTER;
    return FControl->Invoke(Id, DISPATCH_PROPERTYGET, {}, &Value);
}

TComResult TThreeD_form::Redraw(int DrawMode)
{
    return Call(IdRedraw, {TVariant::I2(static_cast<int16_t>(DrawMode))});
}

TComResult TThreeD_form::ControlVerb(int Verb)
{
    if (!FControl || !FControl->Control())
        return E_POINTER;
    return FControl->Control()->DoVerb(Verb);
}

TComResult TThreeD_form::AboutBox() { return Call(IdAboutBox, {}); }

void TThreeD_form::SetDrawMode(int Mode)
{
    DrawMode = Mode;
    Put(IdMode, TVariant::I2(static_cast<int16_t>(Mode)));
    if (FView)
        FView->TickDrawMode(Mode);
    TIniFile(FSettingsFile).WriteInteger(Section, "Draw Mode", Mode);
}

std::string TThreeD_form::ColourKey(TSimColour Which) const
{
    switch (Which) {
    case TSimColour::Background: return "Back colour";
    case TSimColour::Surface: return "Surface colour";
    default: return "Billet colour";
    }
}

int32_t TThreeD_form::ColourId(TSimColour Which) const
{
    switch (Which) {
    case TSimColour::Background: return IdBackground;
    case TSimColour::Surface: return IdSurface;
    default: return IdBillet;
    }
}

void TThreeD_form::ChooseColour(TSimColour Which)
{
    if (!FView)
        return;
    TVariant current;
    Get(ColourId(Which), current);
    uint32_t colour = static_cast<uint32_t>(current.AsI4());
    if (!FView->ChooseColour(colour))
        return;
    Put(ColourId(Which), TVariant::I4(static_cast<int32_t>(colour)));
    Redraw(4);
    Redraw(9);
    TIniFile(FSettingsFile).WriteInteger(Section, ColourKey(Which), static_cast<int32_t>(colour));
}

void TThreeD_form::EditRapidFeed()
{
    double threshold = RapidFeed;
    if (FView && FView->EditRapidFeed(threshold))
        RapidFeed = threshold;
}

void TThreeD_form::ToggleAutoSave()
{
    AutoSave = !AutoSave;
    if (FView)
        FView->SetAutoSaveTick(AutoSave);
}

void TThreeD_form::ToggleOffsets()
{
    UseOffsets = !UseOffsets;
    if (FView)
        FView->SetOffsetsTick(UseOffsets);
    if (OnToggleOffsets)
        OnToggleOffsets();
}

// The window's picture when it has one on the screen, else the control's own.
bool TThreeD_form::SavePicture()
{
    if (PictureFileName.empty())
        return false;
    if (FView && FView->ControlParent())
        return FView->SavePicture(PictureFileName);
    TVariant saved;
    return Call(IdSave, {TVariant::Str(PictureFileName)}, &saved) == S_OK && saved.AsBool();
}

bool TThreeD_form::SavePictureAs()
{
    if (!FView)
        return false;
    const std::string name = FView->ChoosePictureFile(ChangeFileExt(PictureFileName, ".BMP"));
    if (name.empty())
        return false;
    PictureFileName = name;
    return SavePicture();
}

void TThreeD_form::ContainerResized()
{
    FTimer.SetEnabled(false);
    Redraw(9);
    FTimer.SetEnabled(true);
}

} // namespace orv
