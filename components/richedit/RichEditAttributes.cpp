// The rich edit's character attributes on the character format: Qt's own
// properties where it has them, user properties for the rest.

#include "components/richedit/RichEditW.h"

#include <cmath>

namespace orv {

namespace {

enum : int {
    LanguageProperty = QTextFormat::UserProperty + 1,
    OffsetProperty,
    KerningProperty,
    UnderlineTypeProperty,
    AnimationProperty,
    EffectsProperty, // hidden, outline, shadow, emboss, imprint
    PitchProperty
};
constexpr unsigned StoredEffects = TTextAttributesW::efHidden | TTextAttributesW::efOutline |
                                   TTextAttributesW::efShadow | TTextAttributesW::efEmboss |
                                   TTextAttributesW::efImprint;

} // namespace

QTextCharFormat TTextAttributesW::Format() const {
    return FDefault ? FOwner.currentCharFormat() : FOwner.textCursor().charFormat();
}

std::string TTextAttributesW::Name() const {
    const QStringList families = Format().fontFamilies().toStringList();
    return (families.isEmpty() ? FOwner.document()->defaultFont().family() : families.front())
        .toStdString();
}

void TTextAttributesW::SetName(const std::string &Name) {
    QTextCharFormat format;
    format.setFontFamilies({QString::fromStdString(Name)});
    Merge(format);
}

int TTextAttributesW::Size() const {
    const QTextCharFormat format = Format();
    return format.hasProperty(QTextFormat::FontPointSize)
               ? int(std::lround(format.fontPointSize()))
               : FOwner.document()->defaultFont().pointSize();
}

void TTextAttributesW::SetSize(int Points) {
    QTextCharFormat format;
    format.setFontPointSize(Points);
    Merge(format);
}

int TTextAttributesW::Weight() const {
    const QTextCharFormat format = Format();
    return format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() : 400;
}

void TTextAttributesW::SetWeight(int Weight) {
    QTextCharFormat format;
    format.setFontWeight(Weight);
    Merge(format);
}

int TTextAttributesW::Language() const {
    const QTextCharFormat format = Format();
    return format.hasProperty(LanguageProperty) ? format.intProperty(LanguageProperty)
                                                : FOwner.Language();
}

void TTextAttributesW::SetLanguage(int Language) {
    QTextCharFormat format;
    format.setProperty(LanguageProperty, Language);
    Merge(format);
}

int TTextAttributesW::SubscriptStyle() const {
    switch (Format().verticalAlignment()) {
    case QTextCharFormat::AlignSubScript:
        return 1;
    case QTextCharFormat::AlignSuperScript:
        return 2;
    default:
        return 0;
    }
}

void TTextAttributesW::SetSubscriptStyle(int Style) {
    QTextCharFormat format;
    format.setVerticalAlignment(Style == 1   ? QTextCharFormat::AlignSubScript
                                : Style == 2 ? QTextCharFormat::AlignSuperScript
                                             : QTextCharFormat::AlignNormal);
    Merge(format);
}

double TTextAttributesW::Offset() const {
    return Format().doubleProperty(OffsetProperty);
}

void TTextAttributesW::SetOffset(double Points) {
    QTextCharFormat format;
    format.setProperty(OffsetProperty, Points);
    Merge(format);
}

double TTextAttributesW::Spacing() const {
    const QTextCharFormat format = Format();
    return format.fontLetterSpacingType() == QFont::AbsoluteSpacing ? format.fontLetterSpacing()
                                                                    : 0;
}

void TTextAttributesW::SetSpacing(double Points) {
    QTextCharFormat format;
    format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    format.setFontLetterSpacing(Points);
    Merge(format);
}

double TTextAttributesW::Kerning() const {
    return Format().doubleProperty(KerningProperty);
}

void TTextAttributesW::SetKerning(double Points) {
    QTextCharFormat format;
    format.setProperty(KerningProperty, Points);
    format.setFontKerning(Points > 0);
    Merge(format);
}

int TTextAttributesW::UnderlineType() const {
    const QTextCharFormat format = Format();
    if (!format.fontUnderline())
        return 0;
    return format.hasProperty(UnderlineTypeProperty) ? format.intProperty(UnderlineTypeProperty)
                                                     : 1;
}

void TTextAttributesW::SetUnderlineType(int Type) {
    QTextCharFormat format;
    format.setProperty(UnderlineTypeProperty, Type);
    format.setFontUnderline(Type != 0);
    Merge(format);
}

int TTextAttributesW::Animation() const {
    return Format().intProperty(AnimationProperty);
}

void TTextAttributesW::SetAnimation(int Animation) {
    QTextCharFormat format;
    format.setProperty(AnimationProperty, Animation);
    Merge(format);
}

bool TTextAttributesW::Effect(unsigned Mask) const {
    const QTextCharFormat format = Format();
    switch (Mask) {
    case efBold:
        return format.fontWeight() >= QFont::Bold;
    case efItalic:
        return format.fontItalic();
    case efUnderline:
        return format.fontUnderline();
    case efStrikeOut:
        return format.fontStrikeOut();
    case efLink:
        return format.isAnchor();
    case efSmallCaps:
        return format.fontCapitalization() == QFont::SmallCaps;
    case efAllCaps:
        return format.fontCapitalization() == QFont::AllUppercase;
    default:
        return (unsigned(format.intProperty(EffectsProperty)) & Mask & StoredEffects) == Mask;
    }
}

void TTextAttributesW::SetEffect(unsigned Mask, bool On) {
    QTextCharFormat format;
    switch (Mask) {
    case efBold:
        // A weight that already agrees stays (600 is not bold, 800 is).
        if (Effect(efBold) == On)
            return;
        format.setFontWeight(On ? QFont::Bold : QFont::Normal);
        break;
    case efItalic:
        format.setFontItalic(On);
        break;
    case efUnderline:
        format.setFontUnderline(On);
        break;
    case efStrikeOut:
        format.setFontStrikeOut(On);
        break;
    case efLink:
        format.setAnchor(On);
        break;
    case efSmallCaps:
    case efAllCaps:
        if (On)
            format.setFontCapitalization(Mask == efSmallCaps ? QFont::SmallCaps
                                                             : QFont::AllUppercase);
        else if (Effect(Mask))
            format.setFontCapitalization(QFont::MixedCase);
        break;
    default: {
        if ((Mask & StoredEffects) != Mask)
            return;
        const unsigned effects = unsigned(Format().intProperty(EffectsProperty));
        format.setProperty(EffectsProperty, int(On ? effects | Mask : effects & ~Mask));
    }
    }
    Merge(format);
}

int TTextAttributesW::Pitch() const {
    return Format().intProperty(PitchProperty);
}

void TTextAttributesW::SetPitch(int Pitch) {
    QTextCharFormat format;
    format.setProperty(PitchProperty, Pitch == 1 || Pitch == 2 ? Pitch : 0);
    format.setFontFixedPitch(Pitch == 1);
    Merge(format);
}

void TTextAttributesW::Assign(const TTextAttributesW &Source) {
    if (&Source == this)
        return;
    SetColor(Source.Color());
    SetName(Source.Name());
    SetSize(Source.Size());
    SetPitch(Source.Pitch());
    SetWeight(Source.Weight());
    SetBackColor(Source.BackColor());
    SetLanguage(Source.Language());
    SetSubscriptStyle(Source.SubscriptStyle());
    SetOffset(Source.Offset());
    SetSpacing(Source.Spacing());
    SetKerning(Source.Kerning());
    SetUnderlineType(Source.UnderlineType());
    for (unsigned e : {efBold, efItalic, efStrikeOut})
        SetEffect(e, Source.Effect(e));
    SetAnimation(Source.Animation());
    for (unsigned e : {efSmallCaps, efAllCaps, efHidden, efOutline, efShadow, efEmboss,
                       efImprint, efLink})
        SetEffect(e, Source.Effect(e));
}

void TTextAttributesW::AssignTo(QFont &Font) const {
    Font.setFamilies({QString::fromStdString(Name())});
    Font.setBold(Effect(efBold));
    Font.setItalic(Effect(efItalic));
    Font.setUnderline(Effect(efUnderline));
    Font.setPointSize(Size());
    if (Pitch() != 0)
        Font.setFixedPitch(Pitch() == 1);
}

} // namespace orv
