// The floor of the start-up benchmark: the least a Qt Widgets program can do
// to show the same windows as the notes. It reads the notes that
// make_notes.py wrote ("places.txt": a first line "font PIXELS FAMILY", then
// one note a line, "left top width height BBGGRR text" with the text's line
// breaks as \n) and shows a frameless tool window at each, as the program's
// notes are, painting its colour and its text in the notes' face 5 pixels
// in, as a note paints itself; then runs the event loop; nothing else.
//
//   bench_floor PLACES_FILE
#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class Note : public QWidget {
public:
    Note(QColor back, QString text, const QFont& face)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), back_(back), text_(std::move(text))
    {
        // As the notes: every pixel is painted, no background first.
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setFont(face);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), back_);
        painter.setPen(Qt::black);
        painter.drawText(rect().adjusted(5, 5, -5, -5), Qt::AlignLeft | Qt::AlignTop, text_);
    }

private:
    QColor back_;
    QString text_;
};

// The text with its escaped line breaks (\n) and backslashes (\\) restored.
QString Unescape(const std::string& escaped)
{
    std::string text;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] == '\\' && i + 1 < escaped.size())
            text += escaped[++i] == 'n' ? '\n' : escaped[i];
        else
            text += escaped[i];
    }
    return QString::fromStdString(text);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 2) return 2;
    std::ifstream places(argv[1]);
    std::string line;
    QFont face;
    std::vector<Note*> windows;
    while (std::getline(places, line)) {
        std::istringstream fields(line);
        std::string word;
        if (line.rfind("font ", 0) == 0) {
            int pixels = 0;
            fields >> word >> pixels >> std::ws;
            std::getline(fields, word);
            face = QFont(QString::fromStdString(word));
            face.setPixelSize(pixels);
            continue;
        }
        int left = 0, top = 0, width = 0, height = 0;
        unsigned colour = 0;
        if (!(fields >> left >> top >> width >> height >> std::hex >> colour)) continue;
        fields.get();  // the space before the text
        std::getline(fields, word);
        // The notes' colours are stored as 0x00BBGGRR.
        const QColor back(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
        auto* window = new Note(back, Unescape(word), face);
        window->setGeometry(left, top, width, height);
        window->show();
        windows.push_back(window);
    }
    const int code = application.exec();
    qDeleteAll(windows);
    return code;
}
