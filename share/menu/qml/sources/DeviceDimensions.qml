// Stand-in for the unit choices: only the flow rate's units, not yet kept in the settings.
import QtQuick
import "../dimensions"

QtObject {
    property BaseDimension flowRateDimension: BaseDimension {
        model: ["m³/h", "l/h", "l/min", "m³/s"]
        ratios: [1, 1000, 1000 / 60, 1 / 3600]
    }
}
