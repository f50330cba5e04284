// A language switch of the running program: Tarnwick's main window with its
// editor window and the 2D window open, and three further windows (two
// editors, one 2D window), all translated between English and German by
// their translators on every change of the dictionary's language.
// Goal: one switch under 100 ms on one core.

#include "engine/core/Mess.h"
#include "engine/view2d/ui/Form2DWindow.h"
#include "localise/LxTextDictionary.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "platform/tests/TempDir.h"
#include "shell/ui/TarnwickApp.h"
#include "shell/ui/editor.h"
#include "shell/ui/main_form3_2.h"
#include "components/toolbar/ui/TbCtls.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

void BM_LanguageSwitch(benchmark::State &State)
{
    orv::test::TTempDir dir;
    std::filesystem::copy(ORV_DATA_DIR, dir.Path(),
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    orv::SetProgramPathOverride(dir.Path(), "Tarnwick");
    ::setenv("ORV_CLASS_REGISTRY", dir.File("classes.reg").c_str(), 1);
    {
        orv::TTestEventLoop loop;
        orv::TEventLoopScope loopScope{loop};
        orv::TScriptedMessages messages;
        orv::TMessageServiceScope messageScope{messages};
        orv::TTarnwickApp app({});
        app.Show();
        app.MainForm().Button(orv::TMainButton::Output2D)->Click();
        std::vector<std::unique_ptr<QWidget>> windows;
        windows.push_back(std::make_unique<orv::TEditorForm>());
        windows.push_back(std::make_unique<orv::TEditorForm>());
        windows.push_back(std::make_unique<orv::TForm2DWindow>());
        orv::TLxTextDictionary &dictionary = orv::Mess().Dictionary();
        int language = 0;
        for (auto _ : State) {
            language = 1 - language;
            dictionary.SetLanguage(language);
        }
        State.counters["windows"] = 1 + 5;
    }
    orv::SetProgramPathOverride("", "");
    ::unsetenv("ORV_CLASS_REGISTRY");
    std::filesystem::current_path(previous);
}

BENCHMARK(BM_LanguageSwitch)->Unit(benchmark::kMillisecond)->Iterations(40);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
