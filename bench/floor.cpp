// The floor of the start-up benchmark: the least a Qt Widgets program can do
// to show the same windows as the notes. It reads one rectangle per line
// ("left top width height") and shows a frameless tool window at each, as
// the program's notes are, then runs the event loop; nothing else.
//
//   bench_floor RECTANGLES_FILE
#include <QApplication>
#include <QWidget>

#include <fstream>
#include <vector>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 2) return 2;
    std::ifstream places(argv[1]);
    std::vector<QWidget*> windows;
    int left = 0, top = 0, width = 0, height = 0;
    while (places >> left >> top >> width >> height) {
        auto* window = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint);
        window->setGeometry(left, top, width, height);
        window->show();
        windows.push_back(window);
    }
    const int code = application.exec();
    qDeleteAll(windows);
    return code;
}
