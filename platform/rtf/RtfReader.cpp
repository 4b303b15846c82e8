// The model-building sink of the RTF parser, and plain (non-RTF) bodies.
#include "platform/rtf/RtfReader.h"

#include "platform/rtf/RtfParser.h"
#include "platform/text/CodePages.h"

namespace kelvo {

using namespace rtfdetail;

namespace {

class ModelSink {
public:
    static constexpr bool kModel = true;

    void Attach(const ParserBase* parser) { m_parser = parser; }

    void Text(char32_t ch, const GroupState& st) {
        StartRun(st);
        AppendUtf8(m_runText, ch);
        m_hasContent = true;
    }
    void Ascii(std::string_view text, const GroupState& st) {
        StartRun(st);
        m_runText.append(text);
        m_hasContent = true;
    }
    void NumberText(char32_t ch, const GroupState& st) {
        if (!m_numberFontSet) {
            m_numberFont = m_parser->ModelFont(st.chr.font);
            m_numberFontSet = true;
        }
        AppendUtf8(m_numberText, ch);
        m_hasContent = true;
    }
    void ParagraphEnd(const GroupState& st) { EndParagraph(st.para); }
    void Embedded() {}
    void Picture(RtfPicture&& picture, bool alternative) {
        FlushRun();
        m_hasContent = true;
        if (alternative && !m_content.empty())
            if (auto* previous = std::get_if<RtfPicture>(&m_content.back()))
                if (AttachPictureFallback(*previous, std::move(picture)))
                    return;
        m_content.emplace_back(std::move(picture));
    }
    void Object(RtfObject&& object) {
        FlushRun();
        m_hasContent = true;
        m_content.emplace_back(std::move(object));
    }
    // The root group closed: the paragraph still open counts only if it holds something,
    // since the control merges the body's last \par with the end of the document.
    void Finish(const GroupState& st) {
        if (m_hasContent || m_doc.paragraphs.empty())
            EndParagraph(st.para);
    }

    RtfDocument Take() {
        if (m_doc.paragraphs.empty())
            m_doc.paragraphs.emplace_back();
        m_doc.defaultTab = m_parser->DefaultTab();
        return std::move(m_doc);
    }

private:
    // A run's format is resolved when it starts: the tables may change before it ends.
    void StartRun(const GroupState& st) {
        if (!m_runStarted || !(st.chr == m_runState) || m_parser->Generation() != m_runGeneration) {
            FlushRun();
            m_runState = st.chr;
            m_runGeneration = m_parser->Generation();
            m_runFormat = m_parser->ModelFormat(st.chr);
            m_runStarted = true;
        }
    }

    void FlushRun() {
        if (m_runText.empty())
            return;
        RtfCharFormat format = m_runFormat;
        if (!m_content.empty())
            if (auto* last = std::get_if<RtfRun>(&m_content.back()))
                if (last->format == format) {
                    last->text += m_runText;
                    m_runText.clear();
                    return;
                }
        m_content.emplace_back(RtfRun{std::move(format), std::move(m_runText)});
        m_runText.clear();
    }

    void EndParagraph(const ParaState& para) {
        FlushRun();
        RtfParagraph paragraph;
        m_parser->FillParagraph(para, paragraph);
        const NumberDef* def = m_parser->Numbering(para.numbering);
        if (def != nullptr || !m_numberText.empty()) {
            RtfNumbering numbering;
            numbering.text = std::move(m_numberText);
            if (m_numberFontSet)
                numbering.textFont = m_numberFont;
            if (def != nullptr) {
                numbering.level = def->level;
                numbering.style = def->style;
                numbering.start = def->start;
                numbering.indent = def->indent;
                numbering.hanging = def->hanging;
                numbering.before = def->before;
                numbering.after = def->after;
                if (def->font != INT_MIN)
                    numbering.font = m_parser->ModelFont(def->font);
            }
            paragraph.numbering = std::move(numbering);
        }
        paragraph.content = std::move(m_content);
        m_content.clear();
        m_numberText.clear();
        m_numberFontSet = false;
        m_hasContent = false;
        m_doc.paragraphs.push_back(std::move(paragraph));
    }

    const ParserBase* m_parser = nullptr;
    RtfDocument m_doc;
    std::vector<RtfInline> m_content;
    CharState m_runState;
    RtfCharFormat m_runFormat;
    unsigned m_runGeneration = 0;
    bool m_runStarted = false;
    std::string m_runText;
    std::string m_numberText;
    RtfFont m_numberFont;
    bool m_numberFontSet = false;
    bool m_hasContent = false;
};

// A body that is not RTF: Windows-1251 text, a paragraph per line.
RtfDocument ReadPlainBody(std::string_view text) {
    RtfDocument doc;
    doc.paragraphs.emplace_back();
    std::string line;
    auto flush = [&] {
        if (!line.empty()) {
            RtfRun run;
            run.text = std::move(line);
            doc.paragraphs.back().content.emplace_back(std::move(run));
            line.clear();
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            flush();
            doc.paragraphs.emplace_back();
        } else if (c >= 0x20 || c == '\t') {
            if (c != 0x7F)
                AppendUtf8(line, DecodeByte(1251, c));
        }
    }
    flush();
    return doc;
}

} // namespace

bool IsRtf(std::string_view bytes) {
    return LooksLikeRtf(bytes);
}

RtfDocument ReadRtf(std::string_view rtf) {
    if (!LooksLikeRtf(rtf))
        return ReadPlainBody(rtf);
    ModelSink sink;
    Parser<ModelSink> parser(rtf, sink);
    sink.Attach(&parser);
    parser.Run();
    return sink.Take();
}

} // namespace kelvo
