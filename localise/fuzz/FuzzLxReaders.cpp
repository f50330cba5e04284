// Arbitrary bytes through every dictionary table reader, as a file and as a
// program resource, and every row through the language, locale and
// translation parsers: refusals are exceptions of the runtime, never a crash.
#include "localise/LxEmbedded.h"
#include "localise/LxErrors.h"
#include "localise/LxParsers.h"
#include "localise/LxReaders.h"
#include "localise/LxResources.h"
#include "localise/LxTableReader.h"
#include "localise/LxTextDictionary.h"

#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace orv;

namespace {

// An in-memory file, so that the file readers see each input without disk
// traffic.
int FuzzFd()
{
    static const int fd = ::memfd_create("fuzz_lxreaders", 0);
    return fd;
}

const std::string &FuzzFile()
{
    static const std::string name = "/proc/self/fd/" + std::to_string(FuzzFd());
    return name;
}

void ParseRows(TLxTableReader &Reader, const TLxTextDictionary &Dictionary)
{
    TLxRow row;
    for (int rows = 0; !Reader.AtEnd() && rows < 200; ++rows) {
        Reader.ReadRow(row, rows % 2 == 0);
        TLxLanguage language;
        TLxLocale locale;
        try {
            Dictionary.ParseLanguageRow(row, language);
        } catch (const lx::Exception &) {
        }
        Reader.ReadRow(row, false);
        try {
            Dictionary.ParseLocaleRow(row, locale);
        } catch (const lx::Exception &) {
        }
    }
}

template <typename TReader, typename... TArgs>
void ReadAll(const TLxTextDictionary &Dictionary, TArgs... Args)
{
    try {
        TLxTableReader reader(std::make_unique<TReader>(Args...));
        ParseRows(reader, Dictionary);
    } catch (const lx::Exception &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static TLxTextDictionary dictionary;
    const std::string bytes(reinterpret_cast<const char *>(Data), Size);
    if (::ftruncate(FuzzFd(), 0) != 0 || ::pwrite(FuzzFd(), bytes.data(), bytes.size(), 0) < 0)
        return 0;
    SetLxResourceLoader([&bytes](const std::string &, const std::string &, std::string &Out) {
        Out = bytes;
        return true;
    });
    ReadAll<TLxAnsiReader>(dictionary, FuzzFile());
    ReadAll<TLxUTF8Reader>(dictionary, FuzzFile());
    ReadAll<TLxUTF16Reader>(dictionary, FuzzFile(), lxboLittleEndian, true);
    ReadAll<TLxUTF16Reader>(dictionary, FuzzFile(), lxboBigEndian, false);
    ReadAll<TLxResourceAnsiReader>(dictionary, std::string("MlLanguage"));
    ReadAll<TLxResourceUTF8Reader>(dictionary, std::string("MlLanguage"));
    ReadAll<TLxResourceUTF16Reader>(dictionary, std::string("MlLanguage"));
    DecodeEscapes(bytes);
    try {
        TLxStoredReader stored(bytes);
        while (true)
            stored.SkipValue();
    } catch (const lx::Exception &) {
    }
    SetLxResourceLoader(nullptr);
    return 0;
}
