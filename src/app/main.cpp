#include <QApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quayrow 2"));
    QApplication::setApplicationVersion(QStringLiteral(QUAYROW_VERSION));
    QTextStream(stdout) << QApplication::applicationName() << ' ' << QApplication::applicationVersion() << '\n';
    return 0;
}
