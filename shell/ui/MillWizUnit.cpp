#include "shell/ui/MillWizUnit.h"

#include "engine/core/Mess.h"
#include "localise/ui/LxQtTranslator.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "shell/CodeHelp.h"
#include "shell/ui/RealEdit.h"
#include "shell/ui/TranslatedText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orv {

namespace {

bool IsSet(const TCNC_Groups &G, int Word) { return G.Words[Word] != NoValue; }

// Field captions by word.
const std::map<int, const char *> Captions = {
    {wX, "X : "}, {wY, "Y : "}, {wZ, "Z : "}, {wP, "Dwell Time - P (ms)"},
    {wQ, "Depth of Cut - Q (Incremental value)"}, {wR, "Retract Point - R"},
    {wK, "Number of repeat patterns - K"}, {wF, "Feed :"}, {wS, "Speed :"},
    {wI, "I : "}, {wJ, "J : "},
};

// Item of the code list of a kind (M operations from item 24 on).
int ComboItem(const TWizardModel &Model)
{
    return Model.Kind == WizardMKind ? 23 + Model.SubKind : Model.Kind - 1;
}

} // namespace

TMillWizForm::TMillWizForm(TWizardModel &Model, const TLines &Text, QWidget *Parent)
    : QDialog(Parent), FModel(Model), FText(Text)
{
    setObjectName("MillWizForm");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    ComboGCode = new QComboBox(this);
    for (int kind = 1; kind < WizardMKind; ++kind)
        ComboGCode->addItem(QString::fromStdString(WizardItemText(kind)));
    for (int sub = 1; sub <= WizardMSubKindCount; ++sub)
        ComboGCode->addItem(QString::fromStdString(WizardItemText(WizardMKind, sub)));
    ComboGCode->setEnabled(false);
    BtnChangeE = new QPushButton("Change", this);
    BtnChangeE->setCheckable(true);
    connect(BtnChangeE, &QPushButton::toggled, ComboGCode, &QComboBox::setEnabled);
    connect(ComboGCode, &QComboBox::activated, this, [this](int Item) { KindChosen(Item); });
    top->addWidget(ComboGCode, 1);
    top->addWidget(BtnChangeE);
    layout->addLayout(top);
    LabelNote = new QLabel(
        "  Note : All values depicted are show as absolute values unless otherwise stated.", this);
    layout->addWidget(LabelNote);
    FMiddle = new QHBoxLayout;
    Image = new QLabel(this);
    Image->setFixedSize(180, 160);
    FMiddle->addWidget(Image);
    layout->addLayout(FMiddle);
    auto *bottom = new QHBoxLayout;
    auto *ok = new QPushButton("OK", this);
    auto *cancel = new QPushButton("Cancel", this);
    auto *help = new QPushButton("Help", this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { AskHelp(); });
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    bottom->addWidget(help);
    layout->addLayout(bottom);
    SetupPage();
    // English texts; the translator gives the window its language.
    AttachTranslator(this, "TMillWizForm");
}

void TMillWizForm::AskHelp()
{
    if (!OnHelp)
        return;
    const auto [letter, code] = HelpCode();
    OnHelp(letter, code);
}

void TMillWizForm::keyPressEvent(QKeyEvent *Event)
{
    if (Event->key() == Qt::Key_F1) {
        AskHelp();
        return;
    }
    QDialog::keyPressEvent(Event);
}

std::pair<std::string, std::string> TMillWizForm::HelpCode() const
{
    if (FModel.Kind == WizardMKind)
        return {"M", HelpCodeText(WizardMCode(FModel.SubKind))};
    return {"G", HelpCodeText(WizardGCode(FModel.Kind))};
}

TRealEdit *TMillWizForm::Field(int Word) const
{
    auto it = FFields.find(Word);
    return it == FFields.end() ? nullptr : it->second;
}

void TMillWizForm::AddWordField(QFormLayout *Form, int Word, const QString &Caption)
{
    auto *edit = new TRealEdit(Form->parentWidget());
    edit->setObjectName(QString("Edit") + CNCLetters[Word]);
    const bool whole = Word == wK;
    edit->SetEditType(whole ? etInt : etReal);
    if (whole)
        edit->SetValueI(Round(FModel.Block.Words[Word], 1));
    else
        edit->SetValueR(FModel.Block.Words[Word]);
    edit->setModified(false);
    edit->OnChange = [this, edit, Word] { FModel.Enter(Word, edit->ValueR()); };
    connect(edit, &QLineEdit::textEdited, this, [this, edit, Word] {
        long double value = 0;
        if (TryStrToFloat(edit->text().toStdString(), value))
            FModel.Enter(Word, value);
    });
    connect(edit, &QLineEdit::cursorPositionChanged, this, [this, Word] { DrawPicture(Word); });
    FFields[Word] = edit;
    Form->addRow(Caption, edit);
}

void TMillWizForm::SetupPage()
{
    FFields.clear();
    // The old page goes once its handlers have returned (an option group
    // rebuilds the page from its own click).
    if (FPage) {
        FMiddle->removeWidget(FPage);
        FPage->hide();
        FPage->deleteLater();
    }
    FPage = new QWidget(this);
    FMiddle->insertWidget(0, FPage, 1);
    PCCenterRadius = nullptr;
    auto *form = new QFormLayout(FPage);
    const int kind = FModel.Kind;
    ComboGCode->setCurrentIndex(ComboItem(FModel));
    // The operation's name in the language in use, whether or not the
    // translator has been over the list yet.
    setWindowTitle(QTr("Milling Wizard") + " - " + QTr(ComboGCode->currentText().toStdString()));
    LabelNote->setVisible(!(kind == 15 || kind == 19 || kind == 20 || kind == WizardMKind));
    const bool arc = kind == 4 || kind == 5;
    for (int w = wX; w <= wS; ++w) {
        if (!IsSet(FModel.Block, w) || !Captions.count(w))
            continue;
        if (arc && (w == wI || w == wJ || w == wR))
            continue;
        if (kind == WizardMKind && w != wS)
            continue;
        QString caption = QTr(Captions.at(w));
        if (kind >= 21 && kind <= 22 && (w == wI || w == wJ || w == wK))
            caption = QTr("Scale Amount in ") + "XYZ"[w - wI] + " : ";
        if (kind >= 23 && kind <= 24 && w == wR)
            caption = QTr("Angle of Rotation - R");
        AddWordField(form, w, caption);
    }
    if (arc) {
        PCCenterRadius = new QTabWidget(FPage);
        auto *centre = new QWidget;
        auto *radius = new QWidget;
        auto *centreForm = new QFormLayout(centre);
        auto *radiusForm = new QFormLayout(radius);
        if (!IsSet(FModel.Block, wI))
            FModel.Block.Words[wI] = 0;
        if (!IsSet(FModel.Block, wJ))
            FModel.Block.Words[wJ] = 0;
        if (!IsSet(FModel.Block, wR))
            FModel.Block.Words[wR] = RadiusFromCentre((double)FModel.Block.Words[wI],
                                                      (double)FModel.Block.Words[wJ]);
        AddWordField(centreForm, wI, "I : ");
        AddWordField(centreForm, wJ, "J : ");
        AddWordField(radiusForm, wR, "R : ");
        PCCenterRadius->addTab(centre, QTr("Center"));
        PCCenterRadius->addTab(radius, QTr("Radius"));
        PCCenterRadius->setCurrentIndex(FModel.CentrePage ? 0 : 1);
        connect(PCCenterRadius, &QTabWidget::currentChanged, this,
                [this](int Index) { ShowCentrePage(Index == 0); });
        form->addRow(PCCenterRadius);
    }
    // Scaling and rotation off take no values.
    if (kind == 22 || kind == 24)
        for (auto &[word, field] : FFields)
            field->setEnabled(false);
    AddOptions(form);
    DrawPicture(0);
}

void TMillWizForm::AddOptions(QFormLayout *Form)
{
    const int kind = FModel.Kind;
    QWidget *page = Form->parentWidget();
    auto group = [&](const char *Caption, std::vector<const char *> Items, int Checked,
                     std::function<void(int)> Chosen) {
        auto *box = new QButtonGroup(page);
        auto *label = new QLabel(QTr(Caption), page);
        Form->addRow(label);
        for (int i = 0; i < (int)Items.size(); ++i) {
            auto *button = new QRadioButton(QTr(Items[i]), page);
            box->addButton(button, i);
            button->setChecked(i == Checked);
            Form->addRow(button);
        }
        connect(box, &QButtonGroup::idClicked, this, Chosen);
    };
    if (kind >= 6 && kind <= 14)
        group("Return to Level", {"Intial Level - G98", "R Point Level - G99"},
              FModel.ReturnToRPoint ? 1 : 0,
              [this](int Item) { FModel.ReturnToRPoint = Item == 1; });
    // A choice within an operation's family switches the kind.
    auto switchTo = [this](int Kind, int SubKind) {
        FModel.Kind = Kind;
        FModel.SubKind = SubKind;
        SetupPage();
    };
    if (kind >= 16 && kind <= 18)
        group("Cutter Compensation", {"Cancel - G40", "Left Hand - G41", "Right Hand - G42"},
              kind - 16, [switchTo](int Item) { switchTo(16 + Item, 0); });
    if (kind == 19 || kind == 20)
        group("Feed Type", {"Feed Per Minute", "Feed Per Revolution"}, kind - 19,
              [switchTo](int Item) { switchTo(19 + Item, 0); });
    if (kind == 21 || kind == 22)
        group("Scale", {"Scaling On - G51", "Scaling Off - G50"}, kind - 21,
              [switchTo](int Item) { switchTo(21 + Item, 0); });
    if (kind == 23 || kind == 24)
        group("Rotate", {"Rotation On - G68", "Rotation Off - G69"}, kind - 23,
              [switchTo](int Item) { switchTo(23 + Item, 0); });
    if (kind != WizardMKind)
        return;
    const int sub = FModel.SubKind;
    if (sub == 1 || sub == 2)
        group("Mirror", {"Mirror in X On - M70", "Mirror in X Off - M80"}, sub - 1,
              [switchTo](int Item) { switchTo(WizardMKind, 1 + Item); });
    if (sub == 3 || sub == 4)
        group("Mirror", {"Mirror in Y On - M71", "Mirror in Y Off - M81"}, sub - 3,
              [switchTo](int Item) { switchTo(WizardMKind, 3 + Item); });
    if (sub >= 10 && sub <= 13)
        group("Program Operations",
              {"Program stop - M00", "Optional stop - M01", "End of program - M02",
               "Program stop and reset - M30"},
              sub - 10, [switchTo](int Item) { switchTo(WizardMKind, 10 + Item); });
    if (sub == 14 || sub == 15)
        group("Sub Program Operations", {"Sub program call - M98", "Sub program end - M99"},
              sub - 14, [switchTo](int Item) { switchTo(WizardMKind, 14 + Item); });
    if (sub >= 5 && sub <= 9) {
        // M03, M04, M05; with coolant M13, M14.
        const bool coolant = sub == 8 || sub == 9;
        const int item = coolant ? sub - 8 : sub - 5;
        auto *useCoolant = new QCheckBox(QTr("Use Coolant"), page);
        useCoolant->setObjectName("CheckC");
        useCoolant->setChecked(coolant);
        useCoolant->setEnabled(item != 2);
        group("Spindle Operations", {"Forward", "Reverse", "Stop"}, item,
              [switchTo, useCoolant](int Item) {
                  const bool on = useCoolant->isChecked() && Item != 2;
                  switchTo(WizardMKind, on ? 8 + Item : 5 + Item);
              });
        Form->addRow(useCoolant);
        connect(useCoolant, &QCheckBox::toggled, this, [switchTo, item](bool On) {
            switchTo(WizardMKind, On ? 8 + item : 5 + item);
        });
    }
    if (sub == 16) {
        auto *tool = new TRealEdit(page);
        tool->setObjectName("EditT");
        tool->SetEditType(etInt);
        tool->SetPosOnly(true);
        tool->SetValueI(Round(FModel.Block.Words[wT], 1));
        connect(tool, &QLineEdit::textEdited, this,
                [this, tool] { FModel.Enter(wT, tool->ValueI()); });
        FFields[wT] = tool;
        Form->addRow(QTr("Tool :"), tool);
    }
    if (sub >= 5 && sub <= 9 && sub != 7) {
        if (!IsSet(FModel.Block, wS))
            FModel.Block.Words[wS] = 0;
        if (!Field(wS))
            AddWordField(Form, wS, QTr("Speed :"));
    }
    if (sub == 14) {
        const int proposed = TWizardModel::ProposedSubProgramId(FText);
        auto *repeats = new TRealEdit(page);
        repeats->setObjectName("EditP1SP");
        repeats->SetEditType(etInt);
        repeats->SetValueI(1);
        auto *id = new TRealEdit(page);
        id->setObjectName("EditP2SP");
        id->SetEditType(etInt);
        id->SetValueI(proposed);
        auto *file = new QLineEdit(page);
        file->setObjectName("EditP3SP");
        auto update = [this, repeats, id, file] {
            FModel.SetSubProgram(std::max(1, repeats->ValueI()), std::max(1, id->ValueI()),
                                 file->text().toStdString());
        };
        connect(repeats, &QLineEdit::textEdited, this, update);
        connect(id, &QLineEdit::textEdited, this, update);
        connect(file, &QLineEdit::textEdited, this, update);
        auto *browse = new QPushButton("\xc2\xb7\xc2\xb7\xc2\xb7", page);
        connect(browse, &QPushButton::clicked, this, [this, file, update] {
            TFileRequest request;
            request.Title = Mess().Translate("M98 Sub Program");
            request.Filter = Mess().Translate("Fanuc CNC File") + " (*.FNC)|*.FNC|" +
                             Mess().Translate("Any File") + " (*.*)|*.*";
            if (auto chosen = Messages().ChooseFile(request); chosen && !chosen->empty()) {
                file->setText(QString::fromStdString(*chosen));
                update();
            }
        });
        Form->addRow(QTr("Sub program repeats"), repeats);
        Form->addRow(QTr("Sub program id"), id);
        auto *fileRow = new QHBoxLayout;
        fileRow->addWidget(file);
        fileRow->addWidget(browse);
        Form->addRow(QTr("Sub program file name"), fileRow);
        update();
    }
}

void TMillWizForm::ShowCentrePage(bool Centre)
{
    const TCNC_Groups &prev = FModel.Previous;
    TCNC_Groups &block = FModel.Block;
    FModel.CentrePage = Centre;
    if (!IsSet(prev, wX) || !IsSet(prev, wY))
        return;
    if (!Centre) {
        const double r = RadiusFromCentre((double)block.Words[wI], (double)block.Words[wJ]);
        FModel.Enter(wR, r);
        if (TRealEdit *edit = Field(wR))
            edit->SetValueR(r);
        return;
    }
    double i = (double)block.Words[wI], j = (double)block.Words[wJ];
    std::string message;
    if (!CentreFromRadius((double)prev.Words[wX], (double)prev.Words[wY], (double)block.Words[wX],
                          (double)block.Words[wY], (double)block.Words[wR], FModel.Kind == 4, i, j,
                          message)) {
        MessageDlg(Mess().Translate("Milling Wizard"), message, mtError, mbOK);
        return;
    }
    FModel.Enter(wI, i);
    FModel.Enter(wJ, j);
    if (TRealEdit *edit = Field(wI))
        edit->SetValueR(i);
    if (TRealEdit *edit = Field(wJ))
        edit->SetValueR(j);
}

void TMillWizForm::KindChosen(int Item)
{
    const int kind = Item < 24 ? Item + 1 : WizardMKind;
    const int subKind = Item < 24 ? 0 : Item - 23;
    if (FModel.Mode == TWizardMode::Alter) {
        FModel.ChangeKind(kind, subKind);
    } else {
        FModel.Kind = kind;
        FModel.SubKind = subKind;
    }
    SetupPage();
}

// Our own sketch of the operation: the tool path and its marks, the
// focused word's label in yellow.
void TMillWizForm::DrawPicture(int FocusWord)
{
    QPixmap picture(180, 160);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const int kind = FModel.Kind;
    p.setPen(QPen(Qt::darkGray, 2));
    if (kind == 4 || kind == 5) {
        p.drawArc(QRect(30, 30, 120, 120), 0, 180 * 16);
        p.drawLine(90, 90, 150, 90);
    } else if (kind >= 6 && kind <= 14) {
        p.fillRect(QRect(20, 110, 140, 40), QColor(220, 220, 220));
        p.drawLine(90, 20, 90, 140);
        p.drawLine(60, 60, 120, 60);
    } else if (kind == WizardMKind) {
        p.drawEllipse(QRect(60, 40, 60, 60));
        p.drawText(QRect(0, 110, 180, 40), Qt::AlignCenter,
                   QString::fromStdString(WizardItemText(kind, FModel.SubKind)));
    } else {
        p.drawLine(20, 140, 160, 30);
    }
    auto mark = [&p, FocusWord](int Word, const QPoint &At) {
        p.setPen(Word == FocusWord ? QColor(255, 255, 0) : QColor(Qt::black));
        p.drawText(At, QString(QChar(CNCLetters[Word])));
    };
    for (const auto &[word, at] : std::map<int, QPoint>{{wX, {150, 150}},
                                                         {wY, {10, 20}},
                                                         {wZ, {95, 15}},
                                                         {wR, {125, 60}},
                                                         {wI, {120, 85}},
                                                         {wJ, {95, 75}}})
        if (Field(word))
            mark(word, at);
    if (kind >= 6 && kind <= 14) {
        p.setPen(Qt::black);
        p.drawText(QPoint(100, 12), QTr("Intial Level"));
    }
    Image->setPixmap(picture);
}

} // namespace orv
