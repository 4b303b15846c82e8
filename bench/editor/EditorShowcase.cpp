// Shows the main window with a record whose body has formatted text, a list and a picture,
// for screenshots of the editor; quits after the number of seconds given (default 6).
#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"
#include "platform/rtf/RtfWriter.h"
#include "shell/CMainFrame.h"
#include "shell/Icons.h"
#include "richtext/RtfTextDocument.h"
#include "shell/SettingsStore.h"
#include "shell/UserDialogs.h"

#include <QApplication>
#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

namespace {

using namespace kelvo;

RtfRun Run(const char* text, int size = 20) {
    RtfRun run;
    run.format.font.name = "Tahoma";
    run.format.fontSize = size;
    run.text = text;
    return run;
}

std::optional<RtfPicture> Picture() {
    QImage image(260, 150, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 150);
    sky.setColorAt(0, QColor(90, 160, 230));
    sky.setColorAt(1, QColor(220, 240, 255));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(255, 210, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(200, 40), 22, 22);
    p.setBrush(QColor(60, 140, 70));
    p.drawPolygon(QPolygonF({QPointF(0, 150), QPointF(80, 70), QPointF(150, 150)}));
    p.setBrush(QColor(40, 110, 60));
    p.drawPolygon(QPolygonF({QPointF(90, 150), QPointF(170, 85), QPointF(260, 150)}));
    p.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return PictureFromImageFile(png);
}

std::string Body() {
    RtfDocument doc;
    RtfParagraph title;
    title.alignment = RtfAlignment::Center;
    RtfRun heading = Run("Планы на неделю", 28);
    heading.format.bold = true;
    heading.format.foreground = RtfColor::Rgb(0, 0, 128);
    title.content.emplace_back(heading);
    doc.paragraphs.push_back(title);

    RtfParagraph text;
    text.spaceBefore = 120;
    text.content.emplace_back(Run("Обычный текст, "));
    RtfRun bold = Run("полужирный");
    bold.format.bold = true;
    text.content.emplace_back(bold);
    text.content.emplace_back(Run(", "));
    RtfRun italic = Run("курсив");
    italic.format.italic = true;
    text.content.emplace_back(italic);
    text.content.emplace_back(Run(", "));
    RtfRun underline = Run("подчёркнутый");
    underline.format.underline = "ul";
    text.content.emplace_back(underline);
    text.content.emplace_back(Run(", "));
    RtfRun red = Run("красный");
    red.format.foreground = RtfColor::Rgb(255, 0, 0);
    text.content.emplace_back(red);
    text.content.emplace_back(Run(" и "));
    RtfRun marked = Run("на жёлтом фоне");
    marked.format.background = RtfColor::Rgb(255, 255, 0);
    text.content.emplace_back(marked);
    text.content.emplace_back(Run(". Формула: E = mc"));
    RtfRun power = Run("2");
    power.format.vertical = RtfVerticalPosition::Superscript;
    text.content.emplace_back(power);
    text.content.emplace_back(Run(", вода: H"));
    RtfRun two = Run("2");
    two.format.vertical = RtfVerticalPosition::Subscript;
    text.content.emplace_back(two);
    text.content.emplace_back(Run("O."));
    doc.paragraphs.push_back(text);

    for (const char* item :
         {"Встреча с заказчиком [07.12.2026]", "Отчёт по проекту", "Сайт: www.example.org"}) {
        RtfParagraph p;
        p.leftIndent = 720;
        p.firstIndent = -360;
        RtfNumbering bullet;
        bullet.level = "pnlvlblt";
        bullet.text = "\xE2\x80\xA2\t";
        bullet.textFont = RtfFont{"Symbol", 2, "nil", 0};
        bullet.font = bullet.textFont;
        bullet.before = "\xE2\x80\xA2";
        p.numbering = bullet;
        p.content.emplace_back(Run(item));
        doc.paragraphs.push_back(p);
    }
    RtfParagraph picture;
    picture.alignment = RtfAlignment::Center;
    picture.spaceBefore = 120;
    if (auto pic = Picture())
        picture.content.emplace_back(*pic);
    doc.paragraphs.push_back(picture);
    RtfParagraph caption;
    caption.alignment = RtfAlignment::Center;
    RtfRun captionRun = Run("Рисунок из файла", 16);
    captionRun.format.italic = true;
    caption.content.emplace_back(captionRun);
    doc.paragraphs.push_back(caption);
    RtfParagraph tabs;
    tabs.tabs = {{2268, RtfTabKind::Left, RtfTabLeader::None},
                 {4536, RtfTabKind::Left, RtfTabLeader::None}};
    tabs.content.emplace_back(Run("Пн\t10:00\tпланёрка"));
    doc.paragraphs.push_back(tabs);
    return WriteRtf(doc);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    EnsureIconTheme();
    QTemporaryDir dir;
    SettingsStore settings(dir.path() + QStringLiteral("/showcase.ini"));
    QtUserDialogs dialogs;
    CQuorvellineDoc doc;
    CMainFrame frame(doc, settings, dialogs);
    if (!doc.OnNewDocument().ok())
        return 1;
    TreeNode* root = doc.records().selected();
    TreeNode* notes = doc.AddNode(TreeKind::Records, root, Utf8ToAnsiLossy("Заметки"));
    doc.AddNode(TreeKind::Records, root, Utf8ToAnsiLossy("Рецепты"));
    doc.AddNode(TreeKind::Records, notes, Utf8ToAnsiLossy("Работа"));
    {
        auto storage = doc.WorkingStorage();
        if (!storage || !WriteRecordBody(*storage, notes->item.uid, Body()).ok())
            return 1;
    }
    frame.RefreshTrees();
    frame.RecordTreeCtrl().SelectNode(notes);
    frame.resize(1240, 760);
    frame.move(20, 20);
    frame.show();
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 6;
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    return QApplication::exec();
}
