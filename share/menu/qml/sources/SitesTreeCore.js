// The sites tree of one picking dialog: the model's getTree() as a flat array of nodes in tree
// order (a group, then its descendants), with check states and expansion. Imported per dialog
// (no .pragma library): each dialog keeps its own tree.

var nodes = []
var selectedSites = []

// 0 unchecked, 1 checked, 2 some children checked and some not.
var Unchecked = 0
var Checked = 1
var PartlyChecked = 2

function appendNodes(list, parentIndex) {
    var indexes = []
    if (!list)
        return indexes
    for (var i = 0; i < list.length; ++i) {
        var source = list[i]
        var node = {
            isGroup: source.isGroup === true,
            children: source.children,
            siteIndex: source.siteIndex !== undefined ? source.siteIndex : -1,
            level: source.level,
            caption: source.caption,
            checkState: Checked,
            expanded: false,
            parentIndex: parentIndex,
            childrenIndexes: []
        }
        var index = nodes.length
        nodes.push(node)
        indexes.push(index)
        if (node.isGroup)
            node.childrenIndexes = appendNodes(source.children, index)
    }
    return indexes
}

// `selected`: site indexes checked at the start; every other site starts unchecked.
function build(tree, selected) {
    nodes = []
    appendNodes(tree, -1)
    var chosen = selected ? selected : []
    for (var i = 0; i < nodes.length; ++i) {
        if (!nodes[i].isGroup)
            nodes[i].checkState = chosen.indexOf(nodes[i].siteIndex) >= 0 ? Checked : Unchecked
    }
    updateGroupStates()
    collectSelected()
}

// Bottom-up: in tree order every child lies after its group, so a backward pass sees the
// children first. A group without children counts as checked.
function updateGroupStates() {
    for (var i = nodes.length - 1; i >= 0; --i) {
        var node = nodes[i]
        if (!node.isGroup)
            continue
        var children = node.childrenIndexes
        if (children.length === 0) {
            node.checkState = Checked
            continue
        }
        var state = nodes[children[0]].checkState
        for (var c = 1; c < children.length; ++c) {
            if (nodes[children[c]].checkState !== state) {
                state = PartlyChecked
                break
            }
        }
        node.checkState = state
    }
}

// Every checked site, in tree order.
function collectSelected() {
    var result = []
    for (var i = 0; i < nodes.length; ++i) {
        if (!nodes[i].isGroup && nodes[i].checkState === Checked)
            result.push(nodes[i].siteIndex)
    }
    selectedSites = result
    return result
}

function setStateDown(index, state) {
    var node = nodes[index]
    node.checkState = state
    for (var c = 0; c < node.childrenIndexes.length; ++c)
        setStateDown(node.childrenIndexes[c], state)
}

// A checked node becomes unchecked, any other checked, and with it everything below it.
function toggle(index) {
    if (index < 0 || index >= nodes.length)
        return
    setStateDown(index, nodes[index].checkState === Checked ? Unchecked : Checked)
    updateGroupStates()
    collectSelected()
}

function setAll(state) {
    for (var i = 0; i < nodes.length; ++i)
        nodes[i].checkState = state
    updateGroupStates()
    collectSelected()
}

function topIndexes() {
    var result = []
    for (var i = 0; i < nodes.length; ++i) {
        if (nodes[i].parentIndex === -1)
            result.push(i)
    }
    return result
}

// The rows shown below a group: its children, each followed by its own rows when expanded.
function rowsBelow(index) {
    var result = []
    var children = nodes[index].childrenIndexes
    for (var c = 0; c < children.length; ++c) {
        result.push(children[c])
        if (nodes[children[c]].expanded)
            result = result.concat(rowsBelow(children[c]))
    }
    return result
}

// Tree indexes of every visible row, top to bottom.
function visibleRows() {
    var result = []
    var tops = topIndexes()
    for (var i = 0; i < tops.length; ++i) {
        result.push(tops[i])
        if (nodes[tops[i]].expanded)
            result = result.concat(rowsBelow(tops[i]))
    }
    return result
}
