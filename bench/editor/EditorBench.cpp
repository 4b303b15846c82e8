// A 5 MB record body with pictures through the editor: RTF read, shown in the editor, saved
// back into the bank. Prints sizes and times.
#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "shell/CMainView.h"
#include "richtext/RtfTextDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTextCursor>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A body of about `target` bytes as the writer makes it: paragraphs of formatted Cyrillic
// text with a noisy picture (kept as PNG with its metafile) every so often.
std::string MakeBody(std::size_t target, int* pictures) {
    kelvo::RtfDocument doc;
    QRandomGenerator random(12345);
    const std::string words[] = {"Заметка", "о",     "проекте", "и",       "сроках", "бюджет",
                                 "встреча", "Kelvo", "2026",    "договор", "список", "задач"};
    *pictures = 0;
    std::string rtf;
    for (int p = 0;; ++p) {
        kelvo::RtfParagraph paragraph;
        for (int r = 0; r < 6; ++r) {
            kelvo::RtfRun run;
            run.format.font.name = r % 3 == 0 ? "Arial" : "Tahoma";
            run.format.fontSize = 20 + 2 * (r % 3);
            run.format.bold = r == 1;
            run.format.italic = r == 2;
            if (r == 3)
                run.format.foreground = kelvo::RtfColor::Rgb(200, 0, 0);
            for (int w = 0; w < 8; ++w)
                run.text += words[random.bounded(12)] + " ";
            paragraph.content.emplace_back(std::move(run));
        }
        if (p % 400 == 399) {
            QImage image(160, 120, QImage::Format_RGB32);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, random.generate() | 0xFF000000u);
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            if (auto picture = kelvo::PictureFromImageFile(png)) {
                paragraph.content.emplace_back(std::move(*picture));
                ++*pictures;
            }
        }
        doc.paragraphs.push_back(std::move(paragraph));
        if (p % 200 == 199 && kelvo::WriteRtf(doc).size() >= target)
            break;
    }
    return kelvo::WriteRtf(doc);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int pictures = 0;
    const std::string body = MakeBody(5 * 1024 * 1024, &pictures);

    kelvo::CQuorvellineDoc doc;
    if (!doc.OnNewDocument().ok())
        return 1;
    kelvo::TreeNode* record = doc.records().selected();
    {
        auto root = doc.WorkingStorage();
        if (!root || !kelvo::WriteRecordBody(*root, record->item.uid, body).ok())
            return 1;
    }
    kelvo::CMainView editor(doc);
    editor.resize(900, 700);

    std::vector<double> adapter, adapterSave, read, load, layout, save, total;
    std::size_t savedSize = 0;
    for (int i = 0; i < 5; ++i) {
        auto t = Clock::now();
        const kelvo::RtfDocument model = kelvo::ReadRtf(body);
        read.push_back(Ms(t));

        t = Clock::now();
        {
            QTextDocument detached;
            kelvo::LoadRtfDocument(detached, model, 96.0); // not laid out
            adapter.push_back(Ms(t));
            t = Clock::now();
            (void)kelvo::SaveRtfDocument(detached);
            adapterSave.push_back(Ms(t));
        }

        t = Clock::now();
        editor.LoadRecordBody(&record->item); // bank stream, RTF reader and the adapter
        load.push_back(Ms(t));
        t = Clock::now();
        editor.document()->setTextWidth(860);
        (void)editor.document()->documentLayout()->documentSize();
        layout.push_back(Ms(t));

        QTextCursor cursor(editor.document());
        cursor.insertText(QStringLiteral("правка "));
        t = Clock::now();
        editor.SaveRecordBody(&record->item); // adapter, RTF writer, bank stream
        save.push_back(Ms(t));
        total.push_back(load.back() + save.back());
        savedSize = doc.ReadBody(record->item.uid)->size();
    }
    std::printf("body: %.2f MB, %d paragraphs shown, %d pictures\n",
                body.size() / (1024.0 * 1024.0), editor.document()->blockCount(), pictures);
    std::printf("RTF read into the model:           %8.1f ms\n", Median(read));
    std::printf("model into a QTextDocument (no layout):%5.1f ms\n", Median(adapter));
    std::printf("QTextDocument back into the model:  %7.1f ms\n", Median(adapterSave));
    std::printf("load (bank -> editor):             %8.1f ms\n", Median(load));
    std::printf("layout of the whole body:          %8.1f ms\n", Median(layout));
    std::printf("save (editor -> bank), after edit: %8.1f ms  (%.2f MB written)\n", Median(save),
                savedSize / (1024.0 * 1024.0));
    std::printf("load + save:                       %8.1f ms  (%.1f MB/s)\n", Median(total),
                2 * body.size() / (1024.0 * 1024.0) / (Median(total) / 1000.0));
    return 0;
}
