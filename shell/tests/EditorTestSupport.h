#pragma once
// Editor window tests: a settings folder, scripted message boxes and
// dialogs, and an editor window with its format file there.

#include "components/richedit/RichEditW.h"
#include "engine/form/tests/FormTestSupport.h"
#include "shell/ui/EditorDialogs.h"
#include "shell/ui/editor.h"

#include <QPrinter>

#include <deque>

namespace orv::test {

// Dialog answers in order; a dialog with no answer left is cancelled.
class TScriptedDialogs : public TEditorDialogs {
public:
    std::deque<std::function<bool(TRequestValues &)>> Requests;
    std::deque<std::function<bool(TNumbering &)>> Numberings;
    std::deque<std::function<bool(TAlterValues &)>> Alters;
    std::deque<std::function<bool(TWizardModel &)>> Wizards;
    std::deque<std::string> Finds;
    std::vector<TRequestValues> Asked; // every Request as it was shown
    int NotSupportedShown = 0;
    std::string NotSupportedCaption;

    bool Request(QWidget *, TRequestValues &Values) override
    {
        Asked.push_back(Values);
        return Next(Requests, Values);
    }
    bool LineNumbering(QWidget *, TNumbering &N) override { return Next(Numberings, N); }
    bool AlterValues(QWidget *, int, TAlterValues &V) override { return Next(Alters, V); }
    bool Wizard(QWidget *, TWizardModel &M, const TLines &) override { return Next(Wizards, M); }
    bool FindText(QWidget *, std::string &Text) override
    {
        if (Finds.empty())
            return false;
        Text = Finds.front();
        Finds.pop_front();
        return true;
    }
    // Printing goes to this PDF file; empty cancels the print dialog.
    std::string PrintTo;
    int Copies = 1;
    QPageLayout::Orientation PrintedOrientation = QPageLayout::Portrait;
    bool Print(QWidget *, QPrinter &Printer, int &Copies_) override
    {
        PrintedOrientation = Printer.pageLayout().orientation();
        if (PrintTo.empty())
            return false;
        Printer.setOutputFormat(QPrinter::PdfFormat);
        Printer.setOutputFileName(QString::fromStdString(PrintTo));
        Copies_ = Copies;
        return true;
    }
    // Printer Setup sets the printer up with this; none cancels.
    std::function<bool(QPrinter &)> Setup;
    bool PrinterSetup(QWidget *, QPrinter &Printer) override { return Setup && Setup(Printer); }
    bool NotSupported(QWidget *, char Letter, int Code) override
    {
        ++NotSupportedShown;
        NotSupportedCaption = orv::NotSupportedCaption(Letter, Code);
        return false;
    }

private:
    template <class T, class V> static bool Next(std::deque<T> &Queue, V &Value)
    {
        if (Queue.empty())
            return false;
        auto answer = Queue.front();
        Queue.pop_front();
        return answer(Value);
    }
};

class TEditorFixture {
public:
    TEditorFixture()
    {
        Folder.Write("Tarnwick.ini", "[EditForm]\nFormatFile=" + Folder.File("format.ncf") + "\n");
        SetEditorDialogs(&Dialogs);
    }
    ~TEditorFixture() { SetEditorDialogs(nullptr); }

    // A window with the G and X tokens coloured (G blue bold, X red).
    std::unique_ptr<TEditorForm> MakeEditor(bool Coloured = true)
    {
        if (Coloured)
            Folder.Write("format.ncf", "[EditForm]\nToken G Colour=16711680\nToken G Style=1\n"
                                       "Token X Colour=255\n");
        return std::make_unique<TEditorForm>();
    }
    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> texts;
        for (const auto &m : Folder.Messages.Log())
            if (m.Kind == "message")
                texts.push_back(m.Text);
        return texts;
    }

    TFormFolder Folder;
    TScriptedDialogs Dialogs;
};

} // namespace orv::test
