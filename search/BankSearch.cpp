// The bank search walk.
#include "search/BankSearch.h"

#include "core/PwdList.h"
#include "core/RecordTree.h"

#include <unordered_set>

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

BankSearch::BankSearch(SearchBank bank, ResultRows& rows, SearchObserver* observer)
    : m_bank(bank), m_rows(rows), m_observer(observer),
      m_expression(std::make_unique<SearchExpression>("")) {}

void BankSearch::SetCriteria(const SearchCriteria& criteria) {
    m_criteria = criteria;
    m_expression = std::make_unique<SearchExpression>(criteria.text);
}

void BankSearch::Dispatch() {
    if (!m_observer || !m_observer->EventsWaiting())
        return;
    m_bank.bodies.Release();
    m_observer->DispatchOneEvent();
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
    if (m_observer) {
        m_observer->SetStatus(Utf8ToAnsiLossy("Выполняется поиск..."));
        m_observer->SetRange(static_cast<std::uint32_t>(
            m_bank.entries.size() + m_bank.folders.size() + m_bank.records.size()));
    }
    if (m_criteria.startKey == kBankKey) {
        // Both walks run; after a stop the second ends at once.
        const TreeNode* record = m_bank.records.first();
        const TreeNode* folder = m_bank.folders.first();
        const AnsiString folderKey = folder ? MakeItemKey(kFolderType, folder->item.uid) : "";
        if (record)
            SearchNode(MakeItemKey(kRecordType, record->item.uid), m_criteria.nested);
        if (folder)
            SearchNode(folderKey, m_criteria.nested);
    } else {
        SearchNode(m_criteria.startKey, m_criteria.nested);
    }
    if (m_observer) {
        m_observer->Finish();
        m_observer->SetStatus(Utf8ToAnsiLossy("Поиск завершен. Просмотр результатов."));
    }
    return !m_stop;
}

bool BankSearch::SearchNode(AnsiView key, bool nested) {
    if (m_stop)
        return false;
    const ParsedItemKey parsed = ParseItemKey(key);
    const RecordTree* tree = parsed.type == kRecordType   ? &m_bank.records
                             : parsed.type == kFolderType ? &m_bank.folders
                                                          : nullptr;
    if (!tree || !tree->FindByUid(parsed.uid))
        return true; // nothing to search: an unknown or vanished start node finds nothing
    // An explicit stack instead of recursion (deep trees), each UID once (damaged trees).
    std::vector<std::uint32_t> pending{parsed.uid};
    std::unordered_set<std::uint32_t> visited;
    bool first = true;
    while (!pending.empty()) {
        const std::uint32_t uid = pending.back();
        pending.pop_back();
        if (m_stop)
            return !first;
        if (!visited.insert(uid).second || !tree->FindByUid(uid))
            continue;
        if (!SearchObject(parsed.type, uid))
            return !first;
        first = false;
        if (!nested)
            break;
        // Looked up again: handling events during SearchObject may have changed the tree.
        if (const TreeNode* node = tree->FindByUid(uid))
            for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
                pending.push_back((*it)->item.uid);
    }
    return true;
}

bool BankSearch::SearchObject(AnsiView type, std::uint32_t uid) {
    Dispatch();
    if (m_stop)
        return false;

    Texts t;
    t.key = MakeItemKey(type, uid);
    bool isEntry = false;
    bool isRecord = false;
    if (type == kRecordType) {
        const TreeNode* node = m_bank.records.FindByUid(uid);
        if (!node)
            return true;
        t.place = RecordPlace(node->title);
        t.keywords = node->item.keywords;
        t.notes = node->item.notes;
        isRecord = true; // the body is read below, only when a hit or the data needs it
    } else if (type == kFolderType) {
        const TreeNode* node = m_bank.folders.FindByUid(uid);
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
            if (!m_bank.folders.FindByUid(uid))
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

    if (m_observer) {
        m_observer->SetStatus(Utf8ToAnsiLossy("Поиск в объекте: ") + WithoutBold(t.place));
        m_observer->Step();
    }
    Dispatch();
    if (m_stop)
        return false;
    // The event may have deleted the object: then it yields nothing.
    if ((type == kRecordType && !m_bank.records.FindByUid(uid)) ||
        (type == kFolderType && !m_bank.folders.FindByUid(uid)) ||
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
    if (m_observer)
        m_observer->RowChanged(row, m_rows.size() != before);
}

} // namespace kelvo
