#include "modbusxmlengine.h"

#include <QDomDocument>
#include <QDomDocumentType>
#include <QDomElement>
#include <QDomImplementation>
#include <QDomNamedNodeMap>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include <algorithm>

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

} // namespace

struct ModbusXmlEngine::Dom
{
    QDomDocument document;
    QDomElement current;
};

ModbusXmlEngine::ModbusXmlEngine(QObject *parent)
    : ModbusExportEngine(parent), m_dom(std::make_unique<Dom>())
{}

ModbusXmlEngine::~ModbusXmlEngine() = default;

void ModbusXmlEngine::setFileName(const QString &fileName)
{
    if (m_fileName == fileName)
        return;
    m_fileName = fileName;
    m_loaded = false;
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
    // The document in memory is no longer the loaded one.
    m_loaded = false;
    m_created = true;
}

bool ModbusXmlEngine::loadDocument()
{
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_loaded = false;
        setErrorString(file.errorString());
        return false;
    }
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(&file, false, &message, &line, &column)) {
        setErrorString(
            tr("Parse error at line %1, column %2:\n%3").arg(line).arg(column).arg(message));
        return false;
    }
    if (document.doctype().name() != DocName) {
        setErrorString(QStringLiteral("wrong doc type"));
        return false;
    }
    const QDomElement root = document.documentElement();
    if (root.tagName() != DocName) {
        setErrorString(QStringLiteral("wrong root element name"));
        return false;
    }
    const QDomNode first = root.firstChild();
    if (!first.isElement() || first.toElement().tagName() != ItemsName) {
        setErrorString(QStringLiteral("wrong root element name"));
        return false;
    }
    const QDomElement items = first.toElement();
    const QString version = items.attribute(VersionAttr);
    if (version.isEmpty() || version != m_version) {
        setErrorString(QStringLiteral("wrong modbus items xml version"));
        return false;
    }
    m_dom->document = document;
    m_dom->current = items;
    m_created = false;
    m_loaded = true;
    return true;
}

bool ModbusXmlEngine::ensureLoaded()
{
    return m_loaded || loadDocument();
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
    // The candidates of each identity, in their order: a record takes the first one left, as a
    // scan of the whole list would find it, without a scan per record.
    QHash<QStringList, QList<ModbusItemBase *>> remaining;
    for (const ModbusExportData &candidate : candidates)
        remaining[identityKey(candidate.type, candidate.props)].append(candidate.item);
    for (QDomElement e = m_dom->current.firstChildElement(ItemTag); !e.isNull();
         e = e.nextSiblingElement(ItemTag)) {
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
        const auto match = remaining.find(identityKey(type, props));
        if (match == remaining.end() || match->isEmpty())
            continue;
        ModbusItemBase *item = match->takeFirst();
        items.append(item);
        emit itemImportValue(item, e.text());
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
    m_loaded = false;
    m_created = false;
    m_dom->document = QDomDocument();
    m_dom->current = QDomElement();
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
