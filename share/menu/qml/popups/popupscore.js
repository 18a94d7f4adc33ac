// The popup layer's bookkeeping: creation and re-use, the re-evaluation of the active popup, and
// closing, minimizing and expanding. Imported per layer (it reaches the layer's own ids).

// Popups of the container from the top down, leaving out those already on their way out: destroy()
// is deferred, and nothing may name a popup after it has been let go.
function livePopupsTopDown() {
    var result = []
    var children = container.children
    for (var i = children.length - 1; i >= 0; --i) {
        var child = children[i]
        if (child && !child.destroying)
            result.push(child)
    }
    return result
}

function showPopup(source, properties, asChildPopup) {
    var existing = livePopupsTopDown().filter(function (popup) { return popup.tag === source })
    if (menuContext.embedded && existing.length > 0
            && existing.length >= existing[0].minimizedMaxCount) {
        screenManager.expandPopup(existing[0])
        return existing[0]
    }

    var component = popupScroller.loadComponent(source)
    if (component.status !== Component.Ready) {
        console.log("Qt.createComponent: status = " + component.status)
        if (component.status === Component.Error)
            console.log(component.errorString())
        return null
    }
    // Taken before the creation: the new child re-evaluates the layer at once.
    var parentPopup = popupScroller.activePopup
    var popup = component.createObject(container, properties ? properties : {})
    if (!popup) {
        console.log("Qt.createComponent: status = " + component.status)
        console.log(component.errorString())
        return null
    }
    popup.parentPopup = parentPopup
    popup.closing.connect(popupScroller.closePopup)
    popup.minimizing.connect(minimize)
    popup.tag = source
    popup.forceActiveFocus()
    return popup
}

function reinit() {
    var bottom = null
    var top = null
    var minimized = []
    var children = container.children
    for (var i = 0; i < children.length; ++i) {
        var child = children[i]
        if (!child || child.destroying)
            continue
        if (child.minimized) {
            minimized.push(child)
        } else {
            if (bottom === null)
                bottom = child
            top = child
        }
    }
    popupScroller.bottomActivePopup = bottom
    popupScroller.activePopup = top
    for (var j = 0; j < children.length; ++j) {
        if (children[j] && children[j].topActive !== undefined)
            children[j].topActive = (children[j] === top)
    }
    if (top)
        top.forceActiveFocus()
    popupScroller.minimizedPopups = minimized
    screenManager.popupsChanged()
}

// Lets a popup go at once: everything that names it forgets it now, the object itself goes at the
// next turn of the event loop.
function destroyPopup(popup) {
    popup.destroying = true
    if (typeof editorsManager !== "undefined" && editorsManager
            && editorsManager.activeEditor === popup)
        editorsManager.activeEditor = null
    var children = container.children
    for (var i = 0; i < children.length; ++i) {
        if (children[i] && children[i].parentPopup === popup)
            children[i].parentPopup = null
    }
    popup.destroy()
    reinit()
}

function closePopupInternal(popup) {
    if (!popup) {
        console.log("closePopupInternal: popup is not defined.")
        return
    }
    if (popup.destroying)
        return
    destroyPopup(popup)
}

function minimize(popup) {
    if (!popup || popup.destroying || popup.minimized)
        return
    popup.minimized = true
    reinit()
}

function closeTop() {
    if (popupScroller.activePopup)
        popupScroller.activePopup.close()
}

function closeAll() {
    var popups = livePopupsTopDown()
    for (var i = 0; i < popups.length; ++i) {
        if (!popups[i].destroying)
            popups[i].close()
    }
}

function minimizeTop() {
    var popup = popupScroller.activePopup
    if (popup && popup.allowMinimize)
        minimize(popup)
}

function closeOrMinimizeTop() {
    var popup = popupScroller.activePopup
    if (!popup)
        return
    if (popup.allowMinimize)
        minimize(popup)
    else
        destroyPopup(popup)
}

function closeOrMinimizeAll() {
    var popups = livePopupsTopDown()
    var minimizedAny = false
    var destroyedAny = false
    for (var i = 0; i < popups.length; ++i) {
        var popup = popups[i]
        if (popup.destroying)
            continue
        if (popup.allowMinimize) {
            if (!popup.minimized) {
                popup.minimized = true
                minimizedAny = true
            }
        } else {
            destroyPopup(popup)
            destroyedAny = true
        }
    }
    // Each destruction re-evaluated at once, before the popups below it were minimized.
    if (minimizedAny || destroyedAny)
        reinit()
}

function expand(popup) {
    if (!popup || popup.destroying || !popup.minimized)
        return
    closeOrMinimizeAll()
    popup.minimized = false
    reinit()
}

function faderClicked() {
    var popup = popupScroller.activePopup
    if (popup && popup.closeOnFaderClick)
        popup.close()
}
