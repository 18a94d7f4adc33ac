import QtQuick
import QtTest
import DorrikBus 1.0

// The typed properties over stand-in register items that count writes and reads: what a row
// shows, what an entered value writes, and what is refused.
TestHarness {
    id: harness

    TestCase {
        id: propertiesCase
        name: "Properties"
        when: windowShown

        function makeItem(value) {
            var component = Qt.createComponent("frames/StandInItem.qml")
            return component.createObject(propertiesCase, {value: value})
        }
        function makeDimension(ratio) {
            return harness.create("dimensions/BaseDimension.qml",
                                  {model: ["unit"], ratios: [ratio]})
        }
        function make(file, properties) {
            var prop = harness.create("properties/" + file, properties)
            verify(prop, file)
            return prop
        }
        function messageCount(text) {
            return testTools.messages().filter(function (m) { return m === text }).length
        }

        function init() {
            testTools.captureMessages()
        }

        function test_property_data() {
            var t = propertiesCase
            return [
                {tag: "real, ratio 1000: shows 1500.000, '1,5' writes 0.0015", run: function () {
                    var item = t.makeItem(1.5)
                    var p = t.make("RealProperty.qml", {modbusItem: item,
                                                       dimensionItem: t.makeDimension(1000)})
                    t.compare(p.formatValue, "1500.000")
                    t.verify(p.validate("1,5"))
                    p.setValue("1,5")
                    t.compare(item.writes, 1)
                    t.fuzzyCompare(item.written[0], 0.0015, 1e-12)
                    t.compare(item.reads, 1)
                }},
                {tag: "int 1..247 refuses 248 and 12.5", run: function () {
                    var p = t.make("IntProperty.qml", {minValue: 1, maxValue: 247})
                    t.compare([p.validate("1"), p.validate("247"), p.validate("248"),
                               p.validate("12.5"), p.validate("0"), p.validate("x")],
                              [true, true, false, false, false, false])
                }},
                {tag: "int bounds apply to the device value", run: function () {
                    var p = t.make("IntProperty.qml", {minValue: 1, maxValue: 247,
                                                      dimensionItem: t.makeDimension(10)})
                    t.compare([p.validate("2470"), p.validate("2480")], [true, false])
                }},
                {tag: "list with modelValues [2, 5, 9]", run: function () {
                    var item = t.makeItem(5)
                    var p = t.make("ListProperty.qml", {modbusItem: item,
                                                       model: ["low", "mid", "high"],
                                                       modelValues: [2, 5, 9]})
                    t.compare(p.value, 1)
                    t.compare(p.formatValue, "mid")
                    p.setValue(2)
                    t.compare(item.written, [9])
                    item.value = 7
                    t.compare(p.formatValue, " ")
                    p.setValue(3)
                    t.compare(t.messageCount(
                                  "Error: ListProperty.setValue() of unsupported model value"), 1)
                    t.compare(item.writes, 1)
                }},
                {tag: "list toggles from the last entry to the first", run: function () {
                    var item = t.makeItem(9)
                    var p = t.make("ListProperty.qml", {modbusItem: item,
                                                       model: ["low", "mid", "high"],
                                                       modelValues: [2, 5, 9]})
                    p.toggle()
                    t.compare(item.written, [2])
                }},
                {tag: "list of one entry does not toggle", run: function () {
                    var source = t.makeItem(0)
                    var p = t.make("ListProperty.qml", {sourceItem: source, sourceName: "value",
                                                       model: ["only"]})
                    p.toggle()
                    t.compare(source.value, 0)
                    t.compare(source.writes, 0)
                }},
                {tag: "command with confirm runs on Yes only", run: function () {
                    var item = t.makeItem(0)
                    var p = t.make("CommandProperty.qml", {modbusItem: item, confirm: true})
                    var runs = 0
                    p.executed.connect(function () { runs++ })
                    var layer = harness.popupScroller
                    p.execute()
                    layer.popups[layer.popups.length - 1].choosed(false)
                    t.compare(item.writes, 0)
                    p.execute()
                    layer.popups[layer.popups.length - 1].choosed(true)
                    t.compare(item.written, [1])
                    t.compare(runs, 1)
                }},
                {tag: "toggle command writes the other value", run: function () {
                    var item = t.makeItem(1)
                    var p = t.make("ToggleCommandProperty.qml", {modbusItem: item,
                                                                yesCaption: "Stop",
                                                                noCaption: "Start"})
                    t.compare(p.caption, "Stop")
                    p.toggle()
                    t.compare(item.written, [0])
                }},
                {tag: "text maxLength 20 refuses 21 characters", run: function () {
                    var p = t.make("TextProperty.qml", {maxLength: 20})
                    t.compare([p.validate("12345678901234567890"),
                               p.validate("123456789012345678901")], [true, false])
                }},
                {tag: "text without spaces refuses a blank text", run: function () {
                    var p = t.make("TextProperty.qml", {allowSpaces: false})
                    t.compare([p.validate("   "), p.validate(""), p.validate("a b")],
                              [false, false, true])
                }},
                {tag: "flags: none shows no, bits 0 and 2 two lines", run: function () {
                    var item = t.makeItem(0)
                    var p = t.make("FlagsProperty.qml", {modbusItem: item,
                                                        flags: ["pump", "valve", "heater"]})
                    t.compare(p.formatValue, "no")
                    t.compare(p.binaryFormatValue, "no")
                    item.value = 5
                    t.compare(p.formatValue, "pump\nheater")
                    t.compare(p.binaryFormatValue, "b101")
                }},
                {tag: "a refused write reads the register again", run: function () {
                    var item = t.makeItem(3)
                    item.refuseWrite = true
                    var p = t.make("IntProperty.qml", {modbusItem: item})
                    p.setValue("12")
                    t.compare(item.written, [12])
                    t.compare(item.reads, 1)
                }},
                {tag: "an output item is written, the input item read", run: function () {
                    var input = t.makeItem(3)
                    var output = t.makeItem(0)
                    var p = t.make("IntProperty.qml", {modbusItem: input, modbusItemOut: output})
                    p.setValue("7")
                    t.compare([output.written, output.reads, input.writes, input.reads],
                              [[7], 0, 0, 1])
                }},
                {tag: "dontWriteToModbus only stores", run: function () {
                    var item = t.makeItem(3)
                    var p = t.make("IntProperty.qml", {modbusItem: item})
                    p.setValue("8", true)
                    t.compare([item.value, item.writes, item.reads], [8, 0, 0])
                }},
                {tag: "a source property is set by name", run: function () {
                    var source = t.makeItem(0)
                    var p = t.make("BoolProperty.qml", {sourceItem: source, sourceName: "value"})
                    t.compare(p.formatValue, "no")
                    p.toggle()
                    t.compare([source.value, p.formatValue, source.writes], [true, "yes", 0])
                }},
                {tag: "dimension property sets the unit", run: function () {
                    var source = t.makeItem(0)
                    var dim = harness.create("dimensions/BaseDimension.qml", {
                                                 model: ["m3/h", "l/h"], ratios: [1, 1000],
                                                 sourceItem: source, sourceName: "value"})
                    var p = t.make("DimensionProperty.qml", {dimensionItem: dim})
                    p.setValue(1)
                    t.compare([source.value, dim.dimension, dim.ratio, p.formatValue, p.dimension],
                              [1, "l/h", 1000, "l/h", ""])
                }},
                {tag: "date-time register in a daylight-saving gap", run: function () {
                    var item = t.createTemporaryQmlObject(
                                "import DorrikBus 1.0; ModbusDateTime {}", t)
                    var p = t.make("DateTimeProperty.qml", {modbusItem: item})
                    item.formatValue = "31.03.2024  02:30:00"
                    t.compare(p.formatValue, "31.03.2024  02:30:00")
                    item.formatValue = "15.06.2024  12:00:05"
                    t.compare(p.formatValue, "15.06.2024  12:00:05")
                }},
                {tag: "date-time without register", run: function () {
                    var p = t.make("DateTimeProperty.qml", {useTime: false,
                                                           value: new Date(2024, 2, 31, 2, 30)})
                    t.compare(p.formatValue, "31.03.2024")
                }},
            ]
        }
        function test_property(data) {
            data.run()
        }

        // An unsigned 32-bit register (serial number, signal strength, erase codes) beyond
        // QML's int, through the value, its text and a write.
        function test_unsigned32_data() {
            return [
                {tag: "int 3000000000", file: "IntProperty.qml", value: 3000000000,
                 text: "3000000000"},
                {tag: "int 4294967295", file: "IntProperty.qml", value: 4294967295,
                 text: "4294967295"},
                {tag: "int 2147483648", file: "IntProperty.qml", value: 2147483648,
                 text: "2147483648"},
                {tag: "command 3000000000", file: "CommandProperty.qml", value: 3000000000},
                {tag: "command 4294967295", file: "CommandProperty.qml", value: 4294967295},
            ]
        }
        function test_unsigned32(data) {
            var item = createTemporaryQmlObject("import DorrikBus 1.0; ModbusUInt32 {}",
                                                propertiesCase)
            var p = make(data.file, {modbusItem: item})
            item.value = data.value
            compare(p.value, data.value)
            if (data.text !== undefined)
                compare(p.formatValue, data.text)
            item.value = 0
            compare(p.value, 0)
            // What goes to the register: a typed value, or the command's own value.
            if (data.file === "IntProperty.qml") {
                p.setValue(data.text, true)
            } else {
                p.commandValue = data.value
                p.execute()
            }
            compare(item.value, data.value)
            compare(p.value, data.value)
        }
    }
}
