#include "localise/ui/LxQtResources.h"

#include "localise/LxResources.h"

#include <QFile>
#include <QString>

namespace orv {

namespace {

bool LoadQtResource(const std::string &Type, const std::string &Name, std::string &Data)
{
    const QString folder =
        Type == "LINGVARD" ? QStringLiteral(":/lingvard/") : QStringLiteral(":/formdata/");
    QFile file(folder + QString::fromStdString(Name));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    Data.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}

} // namespace

// The resources are linked into every program that links this library, and
// register themselves as it starts.
void InstallLxQtResources()
{
    SetLxResourceLoader(LoadQtResource);
}

} // namespace orv
