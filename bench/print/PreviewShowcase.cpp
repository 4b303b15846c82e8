// Opens the preview of the bank's structure in the main window, shows four pages, then zooms
// into the first page (the third zoom state); then previews a record with formatted text and a
// picture at 100 %; saves the three views as PNG files for the docs:
// preview_showcase OUT_DIR (preview-4-pages.png, preview-zoomed.png, preview-record.png).
#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"
#include "platform/rtf/RtfWriter.h"
#include "print/ui/PrintController.h"
#include "richtext/RtfTextDocument.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/Icons.h"
#include "shell/SettingsStore.h"
#include "shell/UserDialogs.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QPainter>
#include <QTemporaryDir>

using namespace kelvo;

namespace {

const char* const kTopics[] = {"Дом",    "Работа", "Здоровье", "Финансы",  "Путешествия", "Рецепты",
                               "Книги",  "Учёба",  "Машина",   "Сад",      "Спорт",       "Друзья",
                               "Музыка", "Кино",   "Дети",     "Праздники"};
const char* const kItems[] = {"Планы",   "Адреса и телефоны", "Покупки", "Счета",  "Документы",
                              "Заметки", "Встречи",           "Идеи",    "Архив",  "Контакты",
                              "Расходы", "Фотографии",        "Письма",  "Ссылки", "Пароли сайтов"};

RtfRun Run(const char* text, int halfPoints = 24, bool bold = false) {
    RtfRun run;
    run.format.font.name = "Tahoma";
    run.format.fontSize = halfPoints;
    run.format.bold = bold;
    run.text = text;
    return run;
}

// A heading, two paragraphs and a picture of a chart.
std::string RecordBody() {
    RtfDocument doc;
    RtfParagraph heading;
    heading.alignment = RtfAlignment::Center;
    RtfRun title = Run("Отчёт за квартал", 36, true);
    title.format.foreground = RtfColor::Rgb(0, 0, 128);
    heading.content.emplace_back(title);
    doc.paragraphs.push_back(heading);
    for (const char* text :
         {"Продажи выросли во всех трёх отделах; больше всего — в отделе доставки, где новая "
          "схема маршрутов сократила время в пути почти на четверть.",
          "Расходы остались в пределах плана. Ниже — выручка по месяцам."}) {
        RtfParagraph p;
        p.spaceBefore = 120;
        p.content.emplace_back(Run(text));
        doc.paragraphs.push_back(p);
    }
    QImage chart(360, 200, QImage::Format_RGB32);
    chart.fill(Qt::white);
    QPainter painter(&chart);
    painter.setPen(Qt::black);
    painter.drawLine(30, 180, 350, 180);
    painter.drawLine(30, 10, 30, 180);
    const int values[] = {90, 120, 150};
    const QColor colours[] = {QColor(46, 109, 180), QColor(60, 154, 75), QColor(216, 140, 26)};
    for (int i = 0; i < 3; ++i)
        painter.fillRect(60 + i * 100, 180 - values[i], 60, values[i], colours[i]);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    chart.save(&buffer, "PNG");
    RtfParagraph picture;
    picture.alignment = RtfAlignment::Center;
    picture.spaceBefore = 120;
    picture.content.emplace_back(*PictureFromImageFile(png));
    doc.paragraphs.push_back(picture);
    return WriteRtf(doc);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    EnsureIconTheme();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QTemporaryDir dir;
    SettingsStore settings(dir.path() + QStringLiteral("/showcase.ini"));
    QtUserDialogs dialogs;
    CQuorvellineDoc doc;
    CMainFrame frame(doc, settings, dialogs);
    if (!doc.OnNewDocument().ok())
        return 1;
    TreeNode* root = doc.records().first();
    int n = 0;
    for (const char* topic : kTopics) {
        TreeNode* folder = doc.AddNode(TreeKind::Records, root, Utf8ToAnsiLossy(topic));
        folder->expanded = (n++ % 4) != 2;
        for (const char* item : kItems) {
            TreeNode* record = doc.AddNode(TreeKind::Records, folder, Utf8ToAnsiLossy(item));
            if (std::string(item) == "Документы")
                for (const char* sub : {"Паспорт", "Договоры", "Страховка"})
                    doc.AddNode(TreeKind::Records, record, Utf8ToAnsiLossy(sub));
            record->expanded = std::string(item) == "Документы" && n % 2 == 1;
        }
    }
    root->expanded = true;
    frame.RefreshTrees();
    frame.resize(1280, 800);
    frame.show();
    QApplication::processEvents();

    frame.ExecuteCommand(cmd::PreviewStructure);
    PreviewWindow* preview = frame.Printing().CurrentPreview();
    if (!preview)
        return 1;
    QApplication::processEvents();
    preview->PagesBox().setCurrentIndex(3);
    emit preview->PagesBox().activated(3);
    QApplication::processEvents();
    const bool four = preview->grab().save(out + QStringLiteral("/preview-4-pages.png"));

    // Three clicks on the first page, near its top left: one and a half times the paper's
    // size.
    for (int click = 0; click < 3; ++click) {
        const QRect page = preview->View().PageRects().front();
        preview->View().ClickAt(page.topLeft() + QPoint(page.width() / 4, page.height() / 6));
    }
    QApplication::processEvents();
    const bool zoomed = preview->grab().save(out + QStringLiteral("/preview-zoomed.png"));
    preview->close();
    QApplication::processEvents();

    TreeNode* report = doc.AddNode(TreeKind::Records, root, Utf8ToAnsiLossy("Отчёт"));
    {
        auto storage = doc.WorkingStorage();
        if (!storage || !WriteRecordBody(*storage, report->item.uid, RecordBody()).ok())
            return 1;
    }
    frame.RefreshTrees();
    frame.RecordTreeCtrl().SelectNode(report);
    frame.ExecuteCommand(cmd::PreviewRecord);
    preview = frame.Printing().CurrentPreview();
    if (!preview)
        return 1;
    QApplication::processEvents();
    preview->ZoomBox().setCurrentIndex(2);
    emit preview->ZoomBox().activated(2); // 100%
    QApplication::processEvents();
    const bool record = preview->grab().save(out + QStringLiteral("/preview-record.png"));
    preview->close();
    return four && zoomed && record ? 0 : 1;
}
