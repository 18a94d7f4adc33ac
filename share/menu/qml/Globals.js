.pragma library

// Tests of entered values, shared by the property model.
function isNumber(value) {
    return !isNaN(parseFloat(value)) && isFinite(value)
}

function isInt(value) {
    return parseFloat(value) === parseInt(value) && !isNaN(value)
}
