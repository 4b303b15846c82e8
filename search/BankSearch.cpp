// The bank search walk.
#include "search/BankSearch.h"

#include "core/BankTrees.h"
#include "core/Messages.h"
#include "core/PwdList.h"

namespace kelvo {

struct BankSearch::Texts {
    AnsiString key, place, data, keywords, notes, detail;
    std::uint32_t sizeKb = 0;
};

namespace {
AnsiString WithoutBold(AnsiView place) {
    AnsiString out(place);
    for (const char* tag : {"<b>", "</b>"}) {
        const std::size_t n = std::char_traits<char>::length(tag);
        for (std::size_t p; (p = out.find(tag)) != AnsiString::npos;)
            out.erase(p, n);
    }
    return out;
}
} // namespace

BankSearch::BankSearch(SearchBank bank, ResultRows& rows, Progress* progress)
    : m_bank(bank), m_rows(rows), m_progress(progress),
      m_expression(std::make_unique<SearchExpression>("")) {}

void BankSearch::SetCriteria(const SearchCriteria& criteria) {
    m_criteria = criteria;
    m_expression = std::make_unique<SearchExpression>(criteria.text);
}

void BankSearch::Poll() {
    if (!m_progress)
        return;
    // What the events do (a save, an edit) needs the bank file: the bodies let go of it.
    if (m_progress->EventsWaiting())
        m_bank.bodies.Release();
    if (m_progress->CancelRequested())
        m_stop = true;
}

bool BankSearch::SizeFilter(std::uint32_t sizeKb) const {
    if (!m_criteria.sizeFilter)
        return true;
    const auto value = static_cast<std::uint32_t>(m_criteria.sizeValue);
    switch (m_criteria.sizeCompare) {
    case SizeCompare::Equal:
        return sizeKb == value;
    case SizeCompare::Less:
        return sizeKb < value;
    case SizeCompare::Greater:
        return sizeKb > value;
    }
    return false;
}

bool BankSearch::Run(const SearchCriteria& criteria) {
    SetCriteria(criteria);
    m_stop = false;
    m_rows.Clear();
    if (m_progress) {
        m_progress->SetStatus(StringText(msg::SearchRunning));
        m_progress->Start(m_bank.entries.size() + m_bank.trees.size());
    }
    if (m_criteria.startKey == kBankKey) {
        // Both walks run; after a stop the second ends at once.
        const TreeNode* record = m_bank.trees.records.first();
        const TreeNode* folder = m_bank.trees.folders.first();
        const AnsiString folderKey = folder ? MakeItemKey(kFolderType, folder->item.uid) : "";
        if (record)
            SearchNode(MakeItemKey(kRecordType, record->item.uid), m_criteria.nested);
        if (folder)
            SearchNode(folderKey, m_criteria.nested);
    } else {
        SearchNode(m_criteria.startKey, m_criteria.nested);
    }
    if (m_progress) {
        m_progress->Finish();
        m_progress->SetStatus(StringText(msg::SearchDone));
    }
    return !m_stop;
}

bool BankSearch::SearchNode(AnsiView key, bool nested) {
    if (m_stop)
        return false;
    const ParsedItemKey parsed = ParseItemKey(key);
    const bool records = parsed.type == kRecordType;
    if (!records && parsed.type != kFolderType)
        return true; // nothing to search: an unknown start finds nothing
    const RecordTree& tree = m_bank.trees.tree(records ? TreeKind::Records : TreeKind::Folders);
    if (!tree.FindByUid(parsed.uid))
        return true; // a start node gone meanwhile finds nothing too
    return WalkSubtree(tree, parsed.uid, nested, [&](TreeNode& node) {
        return !m_stop && SearchObject(parsed.type, node.item.uid);
    });
}

bool BankSearch::SearchObject(AnsiView type, std::uint32_t uid) {
    Poll();
    if (m_stop)
        return false;

    Texts t;
    t.key = MakeItemKey(type, uid);
    bool isEntry = false;
    bool isRecord = false;
    if (type == kRecordType) {
        const TreeNode* node = m_bank.trees.records.FindByUid(uid);
        if (!node)
            return true;
        t.place = RecordPlace(node->title);
        t.keywords = node->item.keywords;
        t.notes = node->item.notes;
        isRecord = true; // the body is read below, only when a hit or the data needs it
    } else if (type == kFolderType) {
        const TreeNode* node = m_bank.trees.folders.FindByUid(uid);
        if (!node)
            return true;
        t.place = FolderPlace(node->title);
        if (m_criteria.folderAsWhole) {
            t.data = FolderContent(m_bank.entries, uid);
            t.keywords = node->item.keywords;
            t.notes = node->item.notes;
            t.sizeKb = SizeInKb(t.data.size());
            t.detail = FolderDetail(t.data);
        } else {
            std::vector<std::uint32_t> entries;
            for (const PwdItem* entry : m_bank.entries.InFolder(uid))
                entries.push_back(entry->uid);
            for (std::uint32_t entry : entries)
                if (!SearchObject(kEntryType, entry))
                    return false;
            if (!m_bank.trees.folders.FindByUid(uid))
                return true;
            // The folder's own texts stay empty: it yields no row of its own.
        }
    } else if (type == kEntryType) {
        const PwdItem* entry = m_bank.entries.Find(uid);
        if (!entry)
            return true;
        isEntry = true;
        t.place = EntryPlace(entry->title);
        t.data = PwdItemText(*entry);
        t.keywords = NotSupportedForPassword();
        t.notes = NotSupportedForPassword();
        t.sizeKb = SizeInKb(t.data.size());
        t.detail = EntryDetail(t.data);
    }

    if (m_progress) {
        m_progress->SetStatus(MessageText(msg::SearchInObject, {AnsiToUtf8(WithoutBold(t.place))}));
        m_progress->Step();
    }
    Poll();
    if (m_stop)
        return false;
    // The event may have deleted the object: then it yields nothing.
    if ((type == kRecordType && !m_bank.trees.records.FindByUid(uid)) ||
        (type == kFolderType && !m_bank.trees.folders.FindByUid(uid)) ||
        (type == kEntryType && !m_bank.entries.Find(uid)))
        return true;

    const bool caseInsensitive = !m_criteria.caseSensitive;
    const bool whole = m_criteria.wholeWords;
    AnsiString keywordHit, notesHit;
    if (m_criteria.inKeywords && !isEntry)
        keywordHit = m_expression->Match(t.keywords, whole, caseInsensitive, true);
    if (m_criteria.inNotes && !isEntry)
        notesHit = m_expression->Match(t.notes, whole, caseInsensitive, true);
    if (isRecord && (m_criteria.inData || !keywordHit.empty() || !notesHit.empty())) {
        BodyText body = m_bank.bodies.ReadBody(uid);
        t.data = std::move(body.text);
        t.sizeKb = SizeInKb(body.size);
        t.detail = RecordDetail(t.data);
    }
    if (m_criteria.inData) {
        AnsiString found = m_expression->Match(t.data, whole, caseInsensitive, false);
        if (!found.empty() && SizeFilter(t.sizeKb))
            AddRow(t, FoundWordsDetail(found), t.keywords, t.notes, HitColumn::Detail);
    }
    if (!keywordHit.empty() && SizeFilter(t.sizeKb))
        AddRow(t, t.detail, keywordHit, t.notes, HitColumn::Keywords);
    if (!notesHit.empty() && SizeFilter(t.sizeKb))
        AddRow(t, t.detail, t.keywords, notesHit, HitColumn::Notes);
    return true;
}

void BankSearch::AddRow(const Texts& texts, AnsiView detail, AnsiView keywords, AnsiView notes,
                        HitColumn hit) {
    const std::size_t before = m_rows.size();
    const std::size_t row =
        m_rows.AddResultRow(texts.place, detail, keywords, notes, texts.sizeKb, hit, texts.key);
    if (onRowChanged)
        onRowChanged(row, m_rows.size() != before);
}

} // namespace kelvo
