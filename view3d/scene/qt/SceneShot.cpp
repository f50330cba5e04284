// sceneshot: the scene graph's first frame, reachable without the milling view.
//   sceneshot OUTDIR        renders every reference scene into OUTDIR/<name>.png
//   sceneshot --window NAME shows one reference scene in a viewer window
// Exit status: 0 done, 1 a scene failed, 2 bad arguments.
#include "view3d/scene/qt/GLWorldViewer.h"
#include "view3d/scene/qt/ReferenceScenes.h"

#include <QApplication>
#include <QImage>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--window") == 0) {
        orv::TReferenceScene scene = orv::BuildReferenceScene(argv[2]);
        orv::TGLWorldViewer viewer;
        viewer.resize(480, 360);
        viewer.SetCamera(scene.Camera);
        viewer.Buffer().SetFogEnable(scene.Fog);
        viewer.setWindowTitle(QString::fromStdString("sceneshot - " + scene.Name));
        viewer.show();
        return app.exec();
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: sceneshot OUTDIR | sceneshot --window NAME\n");
        return 2;
    }
    int status = 0;
    for (const std::string &name : orv::ReferenceSceneNames()) {
        try {
            orv::TReferenceScene scene = orv::BuildReferenceScene(name);
            const QImage image = orv::RenderReferenceScene(scene, 160, 120);
            const std::string file = std::string(argv[1]) + "/" + name + ".png";
            if (!image.save(QString::fromStdString(file))) {
                std::fprintf(stderr, "%s: cannot write %s\n", name.c_str(), file.c_str());
                status = 1;
            }
        } catch (const std::exception &e) {
            std::fprintf(stderr, "%s: %s\n", name.c_str(), e.what());
            status = 1;
        }
    }
    return status;
}
