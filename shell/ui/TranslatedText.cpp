#include "shell/ui/TranslatedText.h"

#include "engine/core/Mess.h"

namespace orv {

QString QTr(const std::string &Text)
{
    return QString::fromStdString(Mess().Translate(Text));
}

} // namespace orv
