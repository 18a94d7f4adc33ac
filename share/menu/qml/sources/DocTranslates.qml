import QtQuick

// Never created: it only names the document titles for the translators. The document screens
// translate a title in the context "Documentation".
QtObject {
    property var titles: [QT_TRANSLATE_NOOP("Documentation", "Installation instructions"),
        QT_TRANSLATE_NOOP("Documentation", "Operation manual"),
        QT_TRANSLATE_NOOP("Documentation", "Operation manual [eng]"),
        QT_TRANSLATE_NOOP("Documentation", "Operation manual [rus]"),
        QT_TRANSLATE_NOOP("Documentation", "Short User Guide")]
}
