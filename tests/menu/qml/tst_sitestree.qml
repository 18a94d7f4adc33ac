import QtQuick
import QtTest
import "popuplayer"

TestHarness {
    id: harness

    PopupLayerTestCase {
        harness: harness
        id: treeCase
        name: "SitesTree"

        property var dialog: null
        property var answers: []

        // Two groups, a subgroup and five sites, the slots out of tree order. Tree order:
        // Boiler [North [N1 0, N2 1], B1 4], Pumps [P1 2], Yard 3.
        readonly property var fixture: [
            [0, ["Boiler", "North", "N1"]],
            [1, ["Boiler", "North", "N2"]],
            [2, ["Pumps", "", "P1"]],
            [3, ["", "", "Yard"]],
            [4, ["Boiler", "", "B1"]],
        ]
        readonly property var treeOrder: [0, 1, 4, 2, 3]

        function init() {
            initLayer()
            answers = []
            var model = harness.sitesManager.model
            model.maxSitesCount = 20
            model.removeGroup([], false)
            for (var i = 0; i < fixture.length; ++i)
                model.setSite(fixture[i][0], fixture[i][1], false)
        }

        function show(selected) {
            dialog = harness.screenManager.showPopup(
                        "sources/SitesTreeDialog.qml", {selectedSites: selected}, false,
                        function (result, sites) { treeCase.answers.push([result, sites]) })
            verify(dialog)
            tryVerify(function () { return dialog.treeList.activeFocus })
            return dialog
        }

        // "caption state" of each visible row, top down.
        function rows() {
            var result = []
            for (var i = 0; i < dialog.rowsModel.count; ++i) {
                var row = dialog.rowsModel.get(i)
                result.push(dialog.node(row.treeIndex).caption + " " + row.checkState)
            }
            return result
        }

        function press(keys) {
            for (var i = 0; i < keys.length; ++i)
                keyClick(keys[i])
        }

        function test_initialStates_data() {
            return [
                {tag: "all selected", selected: treeOrder,
                 rows: ["Boiler 1", "Pumps 1", "Yard 1"], text: "Choosed 5 from 5"},
                {tag: "one site of a subgroup", selected: [1],
                 rows: ["Boiler 2", "Pumps 0", "Yard 0"], text: "Choosed 1 from 5"},
                {tag: "the only site of a group", selected: [2],
                 rows: ["Boiler 0", "Pumps 1", "Yard 0"], text: "Choosed 1 from 5"},
                {tag: "none", selected: [],
                 rows: ["Boiler 0", "Pumps 0", "Yard 0"], text: "Choosed 0 from 5"},
                {tag: "an index without a site", selected: [7, 3],
                 rows: ["Boiler 0", "Pumps 0", "Yard 1"], text: "Choosed 1 from 5"},
            ]
        }

        function test_initialStates(data) {
            show(data.selected)
            compare(rows(), data.rows)
            compare(dialog.chooseButton.caption, data.text)
            compare(dialog.chooseButton.enabled, data.text !== "Choosed 0 from 5")
        }

        // From everything checked; Enter opens Boiler (row 0), Down and Enter opens North.
        function test_toggle_data() {
            var open = [Qt.Key_Return, Qt.Key_Down, Qt.Key_Return]
            return [
                {tag: "unchecking one site greys its subgroup and group", selected: treeOrder,
                 keys: open.concat([Qt.Key_Down, Qt.Key_Space]),
                 rows: ["Boiler 2", "North 2", "N1 0", "N2 1", "B1 1", "Pumps 1", "Yard 1"],
                 current: 3, choosed: [1, 4, 2, 3]},
                {tag: "checking a grey group checks all below it", selected: [1, 4, 2, 3],
                 keys: open.concat([Qt.Key_Up, Qt.Key_Space]),
                 rows: ["Boiler 1", "North 1", "N1 1", "N2 1", "B1 1", "Pumps 1", "Yard 1"],
                 current: 1, choosed: treeOrder},
                {tag: "unchecking a checked group", selected: treeOrder,
                 keys: open.concat([Qt.Key_Insert]),
                 rows: ["Boiler 2", "North 0", "N1 0", "N2 0", "B1 1", "Pumps 1", "Yard 1"],
                 current: 2, choosed: [4, 2, 3]},
                {tag: "Enter on a site toggles it and stays", selected: [],
                 keys: open.concat([Qt.Key_Down, Qt.Key_Down, Qt.Key_Return]),
                 rows: ["Boiler 2", "North 2", "N1 0", "N2 1", "B1 0", "Pumps 0", "Yard 0"],
                 current: 3, choosed: [1]},
                {tag: "Space on the last row stays there", selected: [],
                 keys: [Qt.Key_Down, Qt.Key_Down, Qt.Key_Space],
                 rows: ["Boiler 0", "Pumps 0", "Yard 1"], current: 2, choosed: [3]},
            ]
        }

        function test_toggle(data) {
            show(data.selected)
            press(data.keys)
            compare(rows(), data.rows)
            compare(dialog.treeList.currentIndex, data.current)
            compare(dialog.choosedSites, data.choosed)
        }

        function test_expandCollapse_data() {
            return [
                {tag: "open a group", keys: [Qt.Key_Return],
                 rows: ["Boiler", "North", "B1", "Pumps", "Yard"]},
                {tag: "open its subgroup", keys: [Qt.Key_Return, Qt.Key_Down, Qt.Key_Return],
                 rows: ["Boiler", "North", "N1", "N2", "B1", "Pumps", "Yard"]},
                {tag: "close the group over an open subgroup",
                 keys: [Qt.Key_Return, Qt.Key_Down, Qt.Key_Return, Qt.Key_Up, Qt.Key_Return],
                 rows: ["Boiler", "Pumps", "Yard"]},
                {tag: "reopen it: the subgroup is still open",
                 keys: [Qt.Key_Return, Qt.Key_Down, Qt.Key_Return, Qt.Key_Up, Qt.Key_Return,
                        Qt.Key_Return],
                 rows: ["Boiler", "North", "N1", "N2", "B1", "Pumps", "Yard"]},
                {tag: "a group further down", keys: [Qt.Key_Down, Qt.Key_Return],
                 rows: ["Boiler", "Pumps", "P1", "Yard"]},
            ]
        }

        function test_expandCollapse(data) {
            show(treeOrder)
            press(data.keys)
            compare(rows().map(function (r) { return r.split(" ")[0] }), data.rows)
        }

        function test_clicks() {
            show([])
            var list = dialog.treeList
            // A click on a group's caption opens it; one on a site's check box checks it.
            mouseClick(list.itemAtIndex(1), list.width / 2, list.itemAtIndex(1).height / 2)
            compare(rows(), ["Boiler 0", "Pumps 0", "P1 0", "Yard 0"])
            mouseClick(list.itemAtIndex(2), 5 * harness.mm, list.itemAtIndex(2).height / 2)
            compare(rows(), ["Boiler 0", "Pumps 1", "P1 1", "Yard 0"])
            compare(dialog.chooseButton.caption, "Choosed 1 from 5")
        }

        function test_checkAll_data() {
            return [
                {tag: "check all", selected: [1], button: "checkAllButton",
                 rows: ["Boiler 1", "Pumps 1", "Yard 1"], choosed: treeOrder},
                {tag: "uncheck all", selected: treeOrder, button: "uncheckAllButton",
                 rows: ["Boiler 0", "Pumps 0", "Yard 0"], choosed: []},
            ]
        }

        function test_checkAll(data) {
            show(data.selected)
            mouseClick(dialog[data.button])
            compare(rows(), data.rows)
            compare(dialog.choosedSites, data.choosed)
        }

        function test_answer_data() {
            return [
                {tag: "everything, in tree order", selected: treeOrder, keys: [],
                 answers: [[true, treeOrder]]},
                {tag: "a subset, in tree order", selected: [3, 0, 4], keys: [],
                 answers: [[true, [0, 4, 3]]]},
                {tag: "by keys alone", selected: [2],
                 keys: [Qt.Key_Down, Qt.Key_Down, Qt.Key_Down], byKeys: true,
                 answers: [[true, [2]]]},
                {tag: "nothing checked: no answer", selected: [], keys: [], answers: []},
            ]
        }

        function test_answer(data) {
            show(data.selected)
            press(data.keys)
            if (data.byKeys) {
                verify(dialog.chooseButton.activeFocus)
                keyClick(Qt.Key_Return)
            } else {
                mouseClick(dialog.chooseButton)
            }
            compare(answers, data.answers)
            compare(popupLayer.activePopup === null, data.answers.length > 0)
            compare(qmlWarnings(), [])
        }
    }
}
