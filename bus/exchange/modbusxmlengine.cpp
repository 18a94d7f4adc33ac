#include "modbusxmlengine.h"

#include <QDomDocument>
#include <QDomDocumentType>
#include <QDomElement>
#include <QDomImplementation>
#include <QDomNamedNodeMap>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QThread>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

// The item records of one level ("modbusitems" or a group), by identity, each identity's in
// document order: pairing then costs a lookup per candidate, however many records the file has.
struct ModbusXmlEngine::RecordIndex
{
    struct Record
    {
        int order;
        QString text;
    };
    QDomElement level;
    QHash<QStringList, QList<Record>> records;
    // The level's groups (name, element) and properties (name, value), in document order: a
    // walk over a level of many records would hold the GUI up.
    QList<QPair<QString, QDomElement>> groups;
    QList<QPair<QString, QString>> properties;
};

namespace {

const QString DocName = QStringLiteral("dorrikbus");
const QString ItemsName = QStringLiteral("modbusitems");
const QString GroupTag = QStringLiteral("group");
const QString PropertyTag = QStringLiteral("property");
const QString ItemTag = QStringLiteral("item");
const QString NameAttr = QStringLiteral("name");
const QString ValueAttr = QStringLiteral("value");
const QString TypeAttr = QStringLiteral("type");
const QString VersionAttr = QStringLiteral("version");

// Attributes go out in a fixed order (QDom keeps them hashed, so its own writer would shuffle
// them from run to run): the naming ones first, then the rest by name.
int attributeRank(const QString &name)
{
    if (name == TypeAttr)
        return 0;
    if (name == NameAttr)
        return 1;
    if (name == ValueAttr)
        return 2;
    return 3;
}

// Type and properties (sorted by name) as one hashable value; equal exactly when both agree.
QStringList identityKey(const QString &type, const QMap<QString, QString> &props)
{
    QStringList key{type};
    for (auto it = props.cbegin(); it != props.cend(); ++it)
        key << it.key() << it.value();
    return key;
}

void writeNode(QXmlStreamWriter &writer, const QDomNode &node)
{
    switch (node.nodeType()) {
    case QDomNode::ElementNode: {
        const QDomElement element = node.toElement();
        writer.writeStartElement(element.tagName());
        const QDomNamedNodeMap map = element.attributes();
        QList<QDomAttr> attributes;
        for (int i = 0; i < map.count(); ++i)
            attributes.append(map.item(i).toAttr());
        std::sort(attributes.begin(), attributes.end(), [](const QDomAttr &a, const QDomAttr &b) {
            const int ra = attributeRank(a.name());
            const int rb = attributeRank(b.name());
            return ra != rb ? ra < rb : a.name() < b.name();
        });
        for (const QDomAttr &attribute : attributes)
            writer.writeAttribute(attribute.name(), attribute.value());
        for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
            writeNode(writer, child);
        writer.writeEndElement();
        break;
    }
    case QDomNode::TextNode:
        writer.writeCharacters(node.toText().data());
        break;
    case QDomNode::CDATASectionNode:
        writer.writeCDATA(node.toCDATASection().data());
        break;
    case QDomNode::CommentNode:
        writer.writeComment(node.toComment().data());
        break;
    case QDomNode::ProcessingInstructionNode: {
        const QDomProcessingInstruction pi = node.toProcessingInstruction();
        // The declaration is the writer's own start of the document.
        if (pi.target() != QLatin1String("xml"))
            writer.writeProcessingInstruction(pi.target(), pi.data());
        break;
    }
    default:
        break;
    }
}

// Builds the document as QDomDocument::setContent() would, without namespace processing, but
// keeps an item's text when it is only white space: Qt 6.4's parser drops such text, and a text
// item of blanks would come back empty.
bool parseDocument(QXmlStreamReader &reader, QDomDocument &document)
{
    reader.setNamespaceProcessing(false);
    bool created = false;
    QList<QDomNode> early; // comments and instructions before the document type
    QDomNode parent;
    auto create = [&](const QDomDocumentType &type) {
        // A document type without a name stands for none: the check below refuses it.
        document = type.isNull() ? QDomDocument(QString()) : QDomDocument(type);
        created = true;
        parent = document;
        for (const QDomNode &node : std::as_const(early))
            document.appendChild(document.importNode(node, true));
    };
    QDomDocument scratch;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            if (!created)
                create(QDomImplementation().createDocumentType(reader.dtdName().toString(),
                                                               reader.dtdPublicId().toString(),
                                                               reader.dtdSystemId().toString()));
            break;
        case QXmlStreamReader::StartElement: {
            if (!created)
                create(QDomDocumentType());
            QDomElement element = document.createElement(reader.qualifiedName().toString());
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute &attribute : attributes)
                element.setAttribute(attribute.qualifiedName().toString(),
                                     attribute.value().toString());
            parent.appendChild(element);
            parent = element;
            break;
        }
        case QXmlStreamReader::EndElement:
            parent = parent.parentNode();
            break;
        case QXmlStreamReader::Characters: {
            if (!created || parent == document)
                break;
            const QString text = reader.text().toString();
            if (reader.isCDATA())
                parent.appendChild(document.createCDATASection(text));
            else if (!reader.isWhitespace() || parent.toElement().tagName() == ItemTag)
                parent.appendChild(document.createTextNode(text));
            break;
        }
        case QXmlStreamReader::Comment:
            if (created)
                parent.appendChild(document.createComment(reader.text().toString()));
            else
                early.append(scratch.createComment(reader.text().toString()));
            break;
        case QXmlStreamReader::ProcessingInstruction: {
            const QString target = reader.processingInstructionTarget().toString();
            const QString data = reader.processingInstructionData().toString();
            if (created)
                parent.appendChild(document.createProcessingInstruction(target, data));
            else
                early.append(scratch.createProcessingInstruction(target, data));
            break;
        }
        default:
            break;
        }
    }
    return !reader.hasError();
}

using RecordIndex = ModbusXmlEngine::RecordIndex;

QList<RecordIndex> indexRecords(const QDomElement &items)
{
    QList<RecordIndex> levels;
    QList<QDomElement> pending{items};
    while (!pending.isEmpty()) {
        const QDomElement level = pending.takeFirst();
        RecordIndex index{level, {}, {}, {}};
        int order = 0;
        for (QDomElement e = level.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            const QString tag = e.tagName();
            if (tag == GroupTag) {
                pending.append(e);
                index.groups.append({e.attribute(NameAttr), e});
                continue;
            }
            if (tag == PropertyTag) {
                index.properties.append({e.attribute(NameAttr), e.attribute(ValueAttr)});
                continue;
            }
            if (tag != ItemTag)
                continue;
            QString type;
            QMap<QString, QString> props;
            const QDomNamedNodeMap attributes = e.attributes();
            for (int i = 0; i < attributes.count(); ++i) {
                const QDomAttr attribute = attributes.item(i).toAttr();
                if (attribute.name() == TypeAttr)
                    type = attribute.value();
                else
                    props.insert(attribute.name(), attribute.value());
            }
            index.records[identityKey(type, props)].append({order++, e.text()});
        }
        levels.append(std::move(index));
    }
    return levels;
}

} // namespace

struct ModbusXmlEngine::Dom
{
    QDomDocument document;
    QDomElement current;
    QList<RecordIndex> index;
};

// What a load makes of the file, in whichever thread it runs.
struct ModbusXmlEngine::Loaded
{
    QDomDocument document;
    QDomElement items;
    QList<RecordIndex> index;
    QString error;
    bool ok = false;
};

namespace {

void loadFile(const QString &fileName, const QString &version, ModbusXmlEngine::Loaded &result)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return;
    }
    QDomDocument document;
    QXmlStreamReader reader(&file);
    if (!parseDocument(reader, document)) {
        result.error = ModbusXmlEngine::tr("Parse error at line %1, column %2:\n%3")
                           .arg(reader.lineNumber())
                           .arg(reader.columnNumber())
                           .arg(reader.errorString());
        return;
    }
    if (document.doctype().name() != DocName) {
        result.error = QStringLiteral("wrong doc type");
        return;
    }
    const QDomElement root = document.documentElement();
    if (root.tagName() != DocName) {
        result.error = QStringLiteral("wrong root element name");
        return;
    }
    const QDomNode first = root.firstChild();
    if (!first.isElement() || first.toElement().tagName() != ItemsName) {
        result.error = QStringLiteral("wrong root element name");
        return;
    }
    const QDomElement items = first.toElement();
    const QString found = items.attribute(VersionAttr);
    if (found.isEmpty() || found != version) {
        result.error = QStringLiteral("wrong modbus items xml version");
        return;
    }
    result.index = indexRecords(items);
    result.document = document;
    result.items = items;
    result.ok = true;
}

} // namespace

ModbusXmlEngine::ModbusXmlEngine(QObject *parent)
    : ModbusExportEngine(parent), m_dom(std::make_unique<Dom>())
{}

ModbusXmlEngine::~ModbusXmlEngine()
{
    // The threads of dropped loads too: none may outlive the engine's code.
    const QList<QThread *> threads = findChildren<QThread *>();
    for (QThread *thread : threads)
        thread->wait();
}

void ModbusXmlEngine::setFileName(const QString &fileName)
{
    if (m_fileName == fileName)
        return;
    m_fileName = fileName;
    m_loaded = false;
    dropLoading();
    emit fileNameChanged(m_fileName);
}

void ModbusXmlEngine::createDocument()
{
    m_dom->document = QDomDocument(QDomImplementation().createDocumentType(DocName, {}, {}));
    m_dom->document.appendChild(m_dom->document.createProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    QDomElement root = m_dom->document.createElement(DocName);
    m_dom->document.appendChild(root);
    QDomElement items = m_dom->document.createElement(ItemsName);
    root.appendChild(items);
    items.setAttribute(VersionAttr, m_version);
    m_dom->current = items;
    m_dom->index.clear();
    // The document in memory is no longer the loaded one.
    m_loaded = false;
    m_created = true;
}

bool ModbusXmlEngine::loadDocument()
{
    dropLoading();
    Loaded result;
    loadFile(m_fileName, m_version, result);
    return apply(result);
}

bool ModbusXmlEngine::apply(Loaded &result)
{
    if (!result.ok) {
        m_loaded = false;
        setErrorString(result.error);
        return false;
    }
    releaseDocument();
    m_dom->document = result.document;
    m_dom->current = result.items;
    m_dom->index = std::move(result.index);
    m_created = false;
    m_loaded = true;
    return true;
}

void ModbusXmlEngine::startLoading()
{
    if (m_loading)
        return;
    if (m_loaded) {
        QMetaObject::invokeMethod(
            this, [this] { emit documentLoaded(m_loaded); }, Qt::QueuedConnection);
        return;
    }
    auto result = std::make_shared<Loaded>();
    const QString fileName = m_fileName;
    const QString version = m_version;
    QThread *thread =
        QThread::create([result, fileName, version] { loadFile(fileName, version, *result); });
    thread->setParent(this);
    m_loading = result;
    m_loadingThread = thread;
    connect(thread, &QThread::finished, this, &ModbusXmlEngine::onLoadingFinished);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

void ModbusXmlEngine::onLoadingFinished()
{
    if (sender() != m_loadingThread || !m_loading)
        return;
    const std::shared_ptr<Loaded> result = std::move(m_loading);
    m_loading.reset();
    m_loadingThread = nullptr;
    emit documentLoaded(apply(*result));
}

void ModbusXmlEngine::dropLoading()
{
    if (!m_loading)
        return;
    m_loading.reset();
    m_loadingThread = nullptr;
}

bool ModbusXmlEngine::ensureLoaded()
{
    if (m_loaded)
        return true;
    if (m_loading) {
        // An import call cannot wait for the signal: take the load over as soon as it ends.
        m_loadingThread->wait();
        const std::shared_ptr<Loaded> result = std::move(m_loading);
        m_loading.reset();
        m_loadingThread = nullptr;
        return apply(*result);
    }
    return loadDocument();
}

const RecordIndex *ModbusXmlEngine::currentIndex() const
{
    for (const RecordIndex &level : std::as_const(m_dom->index))
        if (level.level == m_dom->current)
            return &level;
    return nullptr;
}

void ModbusXmlEngine::leaveGroup()
{
    if (m_dom->current.isNull() || m_dom->current.tagName() != GroupTag)
        return;
    m_dom->current = m_dom->current.parentNode().toElement();
}

void ModbusXmlEngine::beginExportGroup(const QString &name)
{
    // A group may be the first thing exported; without a document it would be lost and its
    // items would land one level up.
    if (!m_created)
        createDocument();
    if (m_dom->current.isNull())
        return;
    QDomElement group = m_dom->document.createElement(GroupTag);
    group.setAttribute(NameAttr, name);
    m_dom->current.appendChild(group);
    m_dom->current = group;
}

void ModbusXmlEngine::endExportGroup()
{
    leaveGroup();
}

bool ModbusXmlEngine::beginImportGroup(const QString &name)
{
    if (!ensureLoaded() || m_dom->current.isNull())
        return false;
    if (const RecordIndex *index = currentIndex()) {
        for (const auto &group : index->groups) {
            if (group.first == name) {
                m_dom->current = group.second;
                return true;
            }
        }
        return false;
    }
    for (QDomElement e = m_dom->current.firstChildElement(GroupTag); !e.isNull();
         e = e.nextSiblingElement(GroupTag)) {
        if (e.attribute(NameAttr) == name) {
            m_dom->current = e;
            return true;
        }
    }
    return false;
}

void ModbusXmlEngine::endImportGroup()
{
    leaveGroup();
}

void ModbusXmlEngine::exportItem(const ModbusExportData &data)
{
    if (!m_created)
        createDocument();
    if (m_dom->current.isNull()) {
        setErrorString(QStringLiteral("can't export item"));
        return;
    }
    QDomElement item = m_dom->document.createElement(ItemTag);
    item.setAttribute(TypeAttr, data.type);
    for (auto it = data.props.cbegin(); it != data.props.cend(); ++it)
        item.setAttribute(it.key(), it.value());
    if (!data.value.isEmpty())
        item.appendChild(m_dom->document.createTextNode(data.value));
    m_dom->current.appendChild(item);
}

bool ModbusXmlEngine::importItems(const ModbusExportDataList &candidates,
                                  QList<ModbusItemBase *> &items)
{
    if (!ensureLoaded())
        return false;
    if (m_dom->current.isNull())
        return false;
    const RecordIndex *index = currentIndex();
    if (!index)
        return true;
    // Records and candidates of one identity pair in their orders (the first record with the
    // first candidate, ...), and the values go out in the records' document order.
    struct Pair
    {
        int order;
        ModbusItemBase *item;
        const QString *text;
    };
    QList<Pair> pairs;
    QHash<QStringList, int> taken;
    for (const ModbusExportData &candidate : candidates) {
        const QStringList key = identityKey(candidate.type, candidate.props);
        const auto records = index->records.constFind(key);
        if (records == index->records.cend())
            continue;
        int &next = taken[key];
        if (next >= records->size())
            continue;
        const RecordIndex::Record &record = records->at(next++);
        pairs.append({record.order, candidate.item, &record.text});
    }
    std::sort(pairs.begin(), pairs.end(),
              [](const Pair &a, const Pair &b) { return a.order < b.order; });
    for (const Pair &pair : std::as_const(pairs)) {
        items.append(pair.item);
        emit itemImportValue(pair.item, *pair.text);
    }
    return true;
}

bool ModbusXmlEngine::exportProperty(const QString &name, const QString &value)
{
    if (!m_created)
        createDocument();
    if (m_dom->document.isNull() || m_dom->current.isNull())
        return false;
    QDomElement property = m_dom->document.createElement(PropertyTag);
    property.setAttribute(NameAttr, name);
    property.setAttribute(ValueAttr, value);
    m_dom->current.appendChild(property);
    return true;
}

bool ModbusXmlEngine::importProperty(const QString &name, QString &value)
{
    if (!ensureLoaded() || m_dom->current.isNull())
        return false;
    if (const RecordIndex *index = currentIndex()) {
        for (const auto &property : index->properties) {
            if (property.first == name) {
                value = property.second;
                return true;
            }
        }
        return false;
    }
    for (QDomElement e = m_dom->current.firstChildElement(PropertyTag); !e.isNull();
         e = e.nextSiblingElement(PropertyTag)) {
        if (e.attribute(NameAttr) == name) {
            value = e.attribute(ValueAttr);
            return true;
        }
    }
    return false;
}

QStringList ModbusXmlEngine::getGroups()
{
    QStringList names;
    if (!ensureLoaded() || m_dom->current.isNull())
        return names;
    if (const RecordIndex *index = currentIndex()) {
        for (const auto &group : index->groups)
            if (!group.first.isEmpty())
                names.append(group.first);
        return names;
    }
    for (QDomElement e = m_dom->current.firstChildElement(GroupTag); !e.isNull();
         e = e.nextSiblingElement(GroupTag)) {
        const QString name = e.attribute(NameAttr);
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

void ModbusXmlEngine::clear()
{
    dropLoading();
    m_loaded = false;
    m_created = false;
    releaseDocument();
}

void ModbusXmlEngine::releaseDocument()
{
    if (m_dom->document.isNull() && m_dom->index.isEmpty()) {
        m_dom->current = QDomElement();
        return;
    }
    // Freeing a large document's nodes takes long: a thread of its own does it, with the last
    // references (QDom counts them atomically).
    auto old = std::make_shared<Dom>(std::move(*m_dom));
    *m_dom = Dom();
    QThread *thread = QThread::create([old]() mutable { old.reset(); });
    thread->setParent(this);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

bool ModbusXmlEngine::save()
{
    if (m_dom->document.isNull()) {
        setErrorString(QStringLiteral("can't save empty xml document"));
        return false;
    }
    QByteArray bytes;
    {
        QXmlStreamWriter writer(&bytes);
        writer.setAutoFormatting(true);
        writer.setAutoFormattingIndent(4);
        writer.writeStartDocument(QStringLiteral("1.0"));
        writer.writeDTD(QStringLiteral("<!DOCTYPE %1>").arg(m_dom->document.doctype().name()));
        for (QDomNode node = m_dom->document.firstChild(); !node.isNull();
             node = node.nextSibling())
            writeNode(writer, node);
        writer.writeEndDocument();
    }
    // The previous file stays whole until the new one is complete on disk.
    QSaveFile file(m_fileName);
    // Qt 6.4's commit() misses a failed flush of its buffer: flush first and check that.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit()) {
        file.cancelWriting();
        setErrorString(QStringLiteral("can't write file"));
        return false;
    }
    return true;
}
