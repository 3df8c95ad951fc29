// Claims the single-instance socket the moment a start file appears, for the test of copies
// started together: prints "first" (then listens until its input closes) or "second".
//   claim_tool NAME START_FILE
#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "app/shell/single_instance.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString start = QString::fromLocal8Bit(argv[2]);
    for (int waited = 0; !QFile::exists(start); ++waited) {
        if (waited > 20000)  // 10 s
            return 3;
        QThread::usleep(500);
    }
    orv::app::SingleInstance single(QString::fromLocal8Bit(argv[1]));
    const bool first = single.Claim();
    std::printf("%s\n", first ? "first" : "second");
    std::fflush(stdout);
    if (!first)
        return 0;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    QTimer::singleShot(30000, &app, &QCoreApplication::quit);
    return app.exec();
}
