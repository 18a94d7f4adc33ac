.pragma library

// Tests of entered values, shared by the property model.
function isNumber(value) {
    return !isNaN(parseFloat(value)) && isFinite(value)
}

function isInt(value) {
    return parseFloat(value) === parseInt(value) && !isNaN(value)
}

// A shallow copy of a map of properties (none: an empty map), so that a caller's map is never
// changed by what an operation adds to it.
function copyProperties(properties) {
    var result = {}
    if (properties) {
        for (var key in properties)
            result[key] = properties[key]
    }
    return result
}
