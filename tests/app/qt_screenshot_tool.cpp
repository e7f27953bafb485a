// Writes a picture of the main window in its start-up state to the file named on the command
// line (run with QT_QPA_PLATFORM=offscreen).
#include <cstdio>

#include <QApplication>
#include <QPixmap>

#include "app/base_url.h"
#include "app/main_window.h"
#include "ui/qt_form.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    lumeno::MainWindow window(lumeno::BaseUrl);
    window.Show();
    QApplication::processEvents();
    const QPixmap picture = dynamic_cast<lumeno::ui::QtForm&>(window.Form()).Window().grab();
    return picture.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
