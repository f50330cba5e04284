#include "platform/ui/QtMessageService.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace orv {

namespace {

struct TButtonMap {
    unsigned Button;
    QMessageBox::StandardButton Qt;
    int Result;
};

const TButtonMap kButtons[] = {
    {mbYes, QMessageBox::Yes, mrYes},           {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},              {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},     {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},  {mbAll, QMessageBox::YesToAll, mrAll},
    {mbNoToAll, QMessageBox::NoToAll, mrNoToAll}, {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
    {mbHelp, QMessageBox::Help, mrNone},
};

QMessageBox::Icon IconOf(int Type)
{
    switch (Type) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

// Each letter of a pattern matches either case: the suite's filters name
// files as other systems wrote them ("*.FNC" lists "demo.fnc").
QString AnyCasePattern(const QString &Pattern)
{
    QString out;
    for (QChar c : Pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QString("[%1%2]").arg(c.toLower()).arg(c.toUpper());
        else
            out += c;
    }
    return out;
}

QString QtFilterFromPipes(const std::string &Filter)
{
    QStringList parts = QString::fromStdString(Filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(';', Qt::SkipEmptyParts))
            patterns << AnyCasePattern(p.trimmed());
        out << parts[i] + " (" + patterns.join(' ') + ")";
    }
    return out.join(";;");
}

int TQtMessageService::Show(const TMessageRequest &Request)
{
    QMessageBox box(IconOf(Request.Type), QString::fromStdString(Request.Caption),
                    QString::fromStdString(Request.Text), QMessageBox::NoButton, FParent);
    int def = DefaultAnswer(Request);
    for (const auto &b : kButtons) {
        if (!(Request.Buttons & b.Button))
            continue;
        auto *button = box.addButton(b.Qt);
        if (b.Result == def)
            box.setDefaultButton(button);
    }
    box.exec();
    auto clicked = box.standardButton(box.clickedButton());
    for (const auto &b : kButtons)
        if (b.Qt == clicked && (Request.Buttons & b.Button))
            return b.Result;
    return mrCancel;
}

bool TQtMessageService::InputQuery(const std::string &Caption, const std::string &Prompt,
                                   std::string &Value)
{
    if (InputDialog)
        return InputDialog(FParent, Caption, Prompt, Value);
    bool ok = false;
    QString text = QInputDialog::getText(FParent, QString::fromStdString(Caption),
                                         QString::fromStdString(Prompt), QLineEdit::Normal,
                                         QString::fromStdString(Value), &ok);
    if (ok)
        Value = text.toStdString();
    return ok;
}

std::optional<std::string> TQtMessageService::ChooseFile(const TFileRequest &Request)
{
    if (Request.ProgramPreview && Request.Kind == TFileDialogKind::Open && ProgramDialog)
        return ProgramDialog(FParent, Request);
    if (FileDialog)
        return FileDialog(FParent, Request);
    QString dir = QString::fromStdString(Request.InitialDir);
    if (Request.Kind == TFileDialogKind::Folder) {
        const QString folder = QFileDialog::getExistingDirectory(
            FParent, QString::fromStdString(Request.Title), dir);
        if (folder.isEmpty())
            return std::nullopt;
        return folder.toStdString();
    }
    if (!Request.FileName.empty())
        dir = QString::fromStdString(Request.FileName);
    QString filter = QtFilterFromPipes(Request.Filter);
    QString name = Request.Kind == TFileDialogKind::Open
                       ? QFileDialog::getOpenFileName(FParent, QString::fromStdString(Request.Title),
                                                      dir, filter)
                       : QFileDialog::getSaveFileName(FParent, QString::fromStdString(Request.Title),
                                                      dir, filter);
    if (name.isEmpty())
        return std::nullopt;
    if (Request.Kind == TFileDialogKind::Save && !Request.DefaultExt.empty() &&
        QFileInfo(name).suffix().isEmpty())
        name += "." + QString::fromStdString(Request.DefaultExt);
    return name.toStdString();
}

} // namespace orv
