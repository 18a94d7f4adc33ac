<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>DorrikBus</name>
    <message>
        <source>no exceptions</source>
        <translation>нет исключений</translation>
    </message>
    <message>
        <source>illegal function</source>
        <translation>недопустимая функция</translation>
    </message>
    <message>
        <source>illegal data address</source>
        <translation>недопустимый адрес данных</translation>
    </message>
    <message>
        <source>illegal data value</source>
        <translation>недопустимое значение данных</translation>
    </message>
    <message>
        <source>slave device failure</source>
        <translation>отказ ведомого устройства</translation>
    </message>
    <message>
        <source>acknowledge</source>
        <translation>запрос принят</translation>
    </message>
    <message>
        <source>slave device busy</source>
        <translation>ведомое устройство занято</translation>
    </message>
    <message>
        <source>memory parity error</source>
        <translation>ошибка чётности памяти</translation>
    </message>
    <message>
        <source>gateway path unavailable</source>
        <translation>путь через шлюз недоступен</translation>
    </message>
    <message>
        <source>gateway target device failed to respond</source>
        <translation>целевое устройство за шлюзом не ответило</translation>
    </message>
    <message>
        <source>getNextLabel: unknown interval</source>
        <translation>getNextLabel: неизвестный интервал</translation>
    </message>
</context>
<context>
    <name>EventDeparser</name>
    <message>
        <source>unsupported event type</source>
        <translation>неподдерживаемый тип события</translation>
    </message>
    <message>
        <source>Modbus event deparser deparse error: %1; bytes: %2</source>
        <translation>ошибка сборки события Modbus: %1; байты: %2</translation>
    </message>
    <message>
        <source>Event deparser
</source>
        <translation>Сборщик событий
</translation>
    </message>
</context>
<context>
    <name>EventParser</name>
    <message>
        <source>event bytes array is too short</source>
        <translation>массив байтов события слишком короткий</translation>
    </message>
    <message>
        <source>error bytes length: %1</source>
        <translation>неверная длина байтов: %1</translation>
    </message>
    <message>
        <source>unknown event type: %1</source>
        <translation>неизвестный тип события: %1</translation>
    </message>
    <message>
        <source>Event parser error: %1 (bytes: %2)</source>
        <translation>ошибка разбора события: %1 (байты: %2)</translation>
    </message>
    <message>
        <source>Event parser
</source>
        <translation>Разборщик событий
</translation>
    </message>
</context>
<context>
    <name>EventTranslator</name>
    <message>
        <source>transporter == null</source>
        <translation>transporter == null</translation>
    </message>
    <message>
        <source>outcoming event was blocked by dispatcher(s)</source>
        <translation>исходящее событие заблокировано диспетчером</translation>
    </message>
    <message>
        <source>EventTranslator
</source>
        <translation>Транслятор событий
</translation>
    </message>
</context>
<context>
    <name>Eventer</name>
    <message>
        <source>unsupported event type received from event translator: %1</source>
        <translation>от транслятора событий получен неподдерживаемый тип события: %1</translation>
    </message>
    <message>
        <source>Eventer
</source>
        <translation>Обработчик событий
</translation>
    </message>
</context>
<context>
    <name>ModbusArchLabel</name>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>&apos;setFormatValue&apos;: can&apos;t change readonly property</source>
        <translation>&apos;setFormatValue&apos;: свойство только для чтения нельзя изменить</translation>
    </message>
</context>
<context>
    <name>ModbusArchReader</name>
    <message>
        <source>you should assign &apos;record&apos; - property</source>
        <translation>необходимо задать свойство &apos;record&apos;</translation>
    </message>
</context>
<context>
    <name>ModbusArchRecord</name>
    <message>
        <source>Exists</source>
        <translation>Есть</translation>
    </message>
    <message>
        <source>No such arch records</source>
        <translation>Таких архивных записей нет</translation>
    </message>
    <message>
        <source>specified arch label (%1) doesn&apos;t exist</source>
        <translation>указанная метка архива (%1) не существует</translation>
    </message>
    <message>
        <source>Arch record size check failed: received length: %1, need %2</source>
        <translation>неверный размер архивной записи: получено %1, нужно %2</translation>
    </message>
</context>
<context>
    <name>ModbusArchRecordTavrin</name>
    <message>
        <source>h</source>
        <translation>ч</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Service flags</source>
        <translation>Служебные флаги</translation>
    </message>
    <message>
        <source>Flow rate ES flags</source>
        <translation>Флаги НС расхода</translation>
    </message>
    <message>
        <source>Heat ES flags</source>
        <translation>Флаги НС тепла</translation>
    </message>
    <message>
        <source>Work time, s</source>
        <translation>Время работы, с</translation>
    </message>
    <message>
        <source>Time without flow rate measuring, s</source>
        <translation>Время без измерения расхода, с</translation>
    </message>
    <message>
        <source>Time without heat measuring, s</source>
        <translation>Время без измерения тепла, с</translation>
    </message>
    <message>
        <source>m</source>
        <translation>м</translation>
    </message>
    <message>
        <source>t</source>
        <translation>т</translation>
    </message>
    <message>
        <source>Gcal/h</source>
        <translation>Гкал/ч</translation>
    </message>
    <message>
        <source>Work time for the interval, s</source>
        <translation>Время работы за интервал, с</translation>
    </message>
    <message>
        <source>Time without flow rate measuring for the interval, s</source>
        <translation>Время без измерения расхода за интервал, с</translation>
    </message>
    <message>
        <source>Time without heat measuring for the interval, s</source>
        <translation>Время без измерения тепла за интервал, с</translation>
    </message>
    <message>
        <source>V+ accumulated, m</source>
        <translation>Накопленный V+, м</translation>
    </message>
    <message>
        <source>V- accumulated, m</source>
        <translation>Накопленный V-, м</translation>
    </message>
    <message>
        <source>M+ accumulated, t</source>
        <translation>Накопленная M+, т</translation>
    </message>
    <message>
        <source>W accumulated, </source>
        <translation>Накопленная W, </translation>
    </message>
    <message>
        <source>Min volume flow rate, m</source>
        <translation>Мин. объёмный расход, м</translation>
    </message>
    <message>
        <source>Max volume flow rate, m</source>
        <translation>Макс. объёмный расход, м</translation>
    </message>
    <message>
        <source>Min weight flow rate, m</source>
        <translation>Мин. массовый расход, м</translation>
    </message>
    <message>
        <source>Max weight flow rate, m</source>
        <translation>Макс. массовый расход, м</translation>
    </message>
    <message>
        <source>Min temperature 1, </source>
        <translation>Мин. температура 1, </translation>
    </message>
    <message>
        <source>Max temperature 1, </source>
        <translation>Макс. температура 1, </translation>
    </message>
    <message>
        <source>Average temperature 1, </source>
        <translation>Средняя температура 1, </translation>
    </message>
    <message>
        <source>Min temperature 2, </source>
        <translation>Мин. температура 2, </translation>
    </message>
    <message>
        <source>Max temperature 2, </source>
        <translation>Макс. температура 2, </translation>
    </message>
    <message>
        <source>Average temperature 2, </source>
        <translation>Средняя температура 2, </translation>
    </message>
    <message>
        <source>Min pressure, </source>
        <translation>Мин. давление, </translation>
    </message>
    <message>
        <source>MPa</source>
        <translation>МПа</translation>
    </message>
    <message>
        <source>Max pressure, </source>
        <translation>Макс. давление, </translation>
    </message>
    <message>
        <source>Average pressure, </source>
        <translation>Среднее давление, </translation>
    </message>
</context>
<context>
    <name>ModbusBit</name>
    <message>
        <source>true</source>
        <translation>да</translation>
    </message>
    <message>
        <source>false</source>
        <translation>нет</translation>
    </message>
</context>
<context>
    <name>ModbusC55Client</name>
    <message>
        <source>unknown target, bytes available will be 0</source>
        <translation>неизвестная цель, доступно 0 байт</translation>
    </message>
    <message>
        <source>can&apos;t receive events via disconnected transport</source>
        <translation>нельзя принимать события через отключённый транспорт</translation>
    </message>
    <message>
        <source>the c55-transport can&apos;t read events on this platform</source>
        <translation>транспорт c55 не может читать события на этой платформе</translation>
    </message>
    <message>
        <source>the c55-transport is available only on linux platform</source>
        <translation>транспорт c55 доступен только в Linux</translation>
    </message>
</context>
<context>
    <name>ModbusClient</name>
    <message>
        <source>modbus client is disabled or paused</source>
        <translation>клиент Modbus выключен или приостановлен</translation>
    </message>
</context>
<context>
    <name>ModbusClientExecutor</name>
    <message>
        <source>task has no data items</source>
        <translation>в задаче нет элементов данных</translation>
    </message>
    <message>
        <source>Not implemented</source>
        <translation>Не реализовано</translation>
    </message>
    <message>
        <source>nothing to write</source>
        <translation>нечего записывать</translation>
    </message>
    <message>
        <source>can&apos;t write %1 bytes: not a whole number of registers</source>
        <translation>нельзя записать %1 байт: не целое число регистров</translation>
    </message>
    <message>
        <source>unknown arch type</source>
        <translation>неизвестный тип архива</translation>
    </message>
</context>
<context>
    <name>ModbusExporter</name>
    <message>
        <source>can&apos;t read %1 (%2): %3</source>
        <translation>не удаётся прочитать %1 (%2): %3</translation>
    </message>
</context>
<context>
    <name>ModbusImporter</name>
    <message>
        <source>can&apos;t import %1 (%2): wrong value &quot;%3&quot;</source>
        <translation>не удаётся импортировать %1 (%2): неверное значение &quot;%3&quot;</translation>
    </message>
    <message>
        <source>can&apos;t write %1 (%2): %3</source>
        <translation>не удаётся записать %1 (%2): %3</translation>
    </message>
</context>
<context>
    <name>ModbusIpTarget</name>
    <message>
        <source>address: %1; port: %2
</source>
        <translation>адрес: %1; порт: %2
</translation>
    </message>
    <message>
        <source>address: %1; port: %2; transaction ID: %3
</source>
        <translation>адрес: %1; порт: %2; ID транзакции: %3
</translation>
    </message>
</context>
<context>
    <name>ModbusItemBase</name>
    <message>
        <source>Label</source>
        <translation>Метка</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>can&apos;t write: object is readonly</source>
        <translation>запись невозможна: объект только для чтения</translation>
    </message>
    <message>
        <source>you should assign &apos;client&apos; - property</source>
        <translation>необходимо задать свойство &apos;client&apos;</translation>
    </message>
</context>
<context>
    <name>ModbusItemCSVExporter</name>
    <message>
        <source>item doesn&apos;t set</source>
        <translation>элемент не задан</translation>
    </message>
    <message>
        <source>can&apos;t remove file %s</source>
        <translation>не удаётся удалить файл %s</translation>
    </message>
    <message>
        <source>can&apos;t open file %s</source>
        <translation>не удаётся открыть файл %s</translation>
    </message>
    <message>
        <source>can&apos;t write file %s</source>
        <translation>не удаётся записать файл %s</translation>
    </message>
</context>
<context>
    <name>ModbusLibusbClient</name>
    <message>
        <source>error opening usb device: %1</source>
        <translation>ошибка открытия устройства USB: %1</translation>
    </message>
    <message>
        <source>interface %1 has %2 IN and %3 OUT endpoints, 2 IN and 1 OUT are needed</source>
        <translation>у интерфейса %1 конечных точек IN: %2, OUT: %3; нужно 2 IN и 1 OUT</translation>
    </message>
    <message>
        <source>error attach interface: %1</source>
        <translation>ошибка подключения интерфейса: %1</translation>
    </message>
    <message>
        <source>error write data</source>
        <translation>ошибка записи данных</translation>
    </message>
    <message>
        <source>received 0 bytes answer</source>
        <translation>получен ответ длиной 0 байт</translation>
    </message>
    <message>
        <source>can&apos;t receive events via disconnected transport</source>
        <translation>нельзя принимать события через отключённый транспорт</translation>
    </message>
    <message>
        <source>error while events reading: attach interface: %1</source>
        <translation>ошибка чтения событий: подключение интерфейса: %1</translation>
    </message>
    <message>
        <source>unknown target, bytes available will be 0</source>
        <translation>неизвестная цель, доступно 0 байт</translation>
    </message>
    <message>
        <source>transport: %1 (%2)
</source>
        <translation>транспорт: %1 (%2)
</translation>
    </message>
    <message>
        <source>Modbus Libusb client</source>
        <translation>Клиент Modbus Libusb</translation>
    </message>
    <message>
        <source>status: </source>
        <translation>состояние: </translation>
    </message>
    <message>
        <source>connected</source>
        <translation>подключён</translation>
    </message>
    <message>
        <source>disconnected</source>
        <translation>отключён</translation>
    </message>
    <message>
        <source>target: %1</source>
        <translation>цель: %1</translation>
    </message>
    <message>
        <source>timeouts:  (read answer: %1; write: %2)
</source>
        <translation>тайм-ауты:  (чтение ответа: %1; запись: %2)
</translation>
    </message>
</context>
<context>
    <name>ModbusLoopbackClient</name>
    <message>
        <source>server loopback transport doesn&apos;t assigned</source>
        <translation>петлевой транспорт сервера не задан</translation>
    </message>
    <message>
        <source>zero length answer received</source>
        <translation>получен ответ нулевой длины</translation>
    </message>
    <message>
        <source>ModbusLoopback client</source>
        <translation>Петлевой клиент Modbus</translation>
    </message>
    <message>
        <source>server loopback transport disconnected</source>
        <translation>петлевой транспорт сервера отключён</translation>
    </message>
</context>
<context>
    <name>ModbusLoopbackServer</name>
    <message>
        <source>you can&apos;t send bytes through ModbusLoopbackServer, only answer for requests</source>
        <translation>через ModbusLoopbackServer нельзя отправлять байты, только отвечать на запросы</translation>
    </message>
    <message>
        <source>ModbusLoopbackServer</source>
        <translation>Петлевой сервер Modbus</translation>
    </message>
</context>
<context>
    <name>ModbusRTUDeparser</name>
    <message>
        <source>Modbus RTU deparser</source>
        <translation>Сборщик Modbus RTU</translation>
    </message>
    <message>
        <source>ERROR: invalid packet class</source>
        <translation>ОШИБКА: неверный класс пакета</translation>
    </message>
    <message>
        <source>deparsed packet is too short, i don&apos;t know why...</source>
        <translation>собранный пакет слишком короткий, причина неизвестна...</translation>
    </message>
    <message>
        <source>deparsed packet is too large</source>
        <translation>собранный пакет слишком длинный</translation>
    </message>
    <message>
        <source>ModbusRTUDeParser deparse error: </source>
        <translation>ошибка сборки ModbusRTUDeParser: </translation>
    </message>
</context>
<context>
    <name>ModbusRTUParser</name>
    <message>
        <source>invalid parse info class</source>
        <translation>неверный класс данных разбора</translation>
    </message>
    <message>
        <source>bytes array is too short</source>
        <translation>массив байтов слишком короткий</translation>
    </message>
    <message>
        <source>bytes array is too long</source>
        <translation>массив байтов слишком длинный</translation>
    </message>
    <message>
        <source>ModbusRTUParser parse error: %1; bytes: %2</source>
        <translation>ошибка разбора ModbusRTUParser: %1; байты: %2</translation>
    </message>
    <message>
        <source>Modbus RTU parser: </source>
        <translation>Разборщик Modbus RTU: </translation>
    </message>
    <message>
        <source>crc checksum error in bytes: %1</source>
        <translation>ошибка контрольной суммы CRC в байтах: %1</translation>
    </message>
</context>
<context>
    <name>ModbusSerialTransport</name>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>Чёт</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>Нечёт</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>Mark</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>RTS/CTS</source>
        <translation>RTS/CTS</translation>
    </message>
    <message>
        <source>XON/XOFF</source>
        <translation>XON/XOFF</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Пропускать</translation>
    </message>
    <message>
        <source>Pass zero</source>
        <translation>Передавать ноль</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Игнорировать</translation>
    </message>
    <message>
        <source>Stop receiving</source>
        <translation>Прекратить приём</translation>
    </message>
    <message>
        <source>can&apos;t set &apos;rts&apos; property to: %1</source>
        <translation>не удаётся установить свойство &apos;rts&apos; в %1</translation>
    </message>
    <message>
        <source>read timeout</source>
        <translation>тайм-аут чтения</translation>
    </message>
    <message>
        <source>unknown target, bytes available will be 0</source>
        <translation>неизвестная цель, доступно 0 байт</translation>
    </message>
    <message>
        <source>error opening serial port %1: %2</source>
        <translation>ошибка открытия последовательного порта %1: %2</translation>
    </message>
</context>
<context>
    <name>ModbusTCPDeparser</name>
    <message>
        <source>Modbus TCP deparser</source>
        <translation>Сборщик Modbus TCP</translation>
    </message>
    <message>
        <source>ERROR: invalid packet class</source>
        <translation>ОШИБКА: неверный класс пакета</translation>
    </message>
    <message>
        <source>ERROR: invalid target class</source>
        <translation>ОШИБКА: неверный класс цели</translation>
    </message>
    <message>
        <source>deparsed packet is too short, i don&apos;t know why...</source>
        <translation>собранный пакет слишком короткий, причина неизвестна...</translation>
    </message>
    <message>
        <source>deparsed packet is too large</source>
        <translation>собранный пакет слишком длинный</translation>
    </message>
    <message>
        <source>ModbusTCPDeparser parse error: </source>
        <translation>ошибка сборки ModbusTCPDeparser: </translation>
    </message>
</context>
<context>
    <name>ModbusTCPPacketDispatcher</name>
    <message>
        <source>Modbus TCP packet dispatcher: </source>
        <translation>Диспетчер пакетов Modbus TCP: </translation>
    </message>
</context>
<context>
    <name>ModbusTCPParser</name>
    <message>
        <source>invalid parse info class</source>
        <translation>неверный класс данных разбора</translation>
    </message>
    <message>
        <source>bytes array is too short</source>
        <translation>массив байтов слишком короткий</translation>
    </message>
    <message>
        <source>bytes array is too long</source>
        <translation>массив байтов слишком длинный</translation>
    </message>
    <message>
        <source>ModbusTCPParser parse error: %1; bytes: %2</source>
        <translation>ошибка разбора ModbusTCPParser: %1; байты: %2</translation>
    </message>
    <message>
        <source>Modbus TCP parser: </source>
        <translation>Разборщик Modbus TCP: </translation>
    </message>
    <message>
        <source>invalid Protocol ID</source>
        <translation>неверный Protocol ID</translation>
    </message>
    <message>
        <source>zero Length</source>
        <translation>нулевое поле Length</translation>
    </message>
    <message>
        <source>bad TCP/IP ADU package length</source>
        <translation>неверная длина пакета ADU TCP/IP</translation>
    </message>
</context>
<context>
    <name>ModbusTFtpClient</name>
    <message>
        <source>can&apos;t send bytes - socket is not connected</source>
        <translation>нельзя отправить байты: сокет не подключён</translation>
    </message>
    <message>
        <source>error while sending bytes: %1</source>
        <translation>ошибка отправки байтов: %1</translation>
    </message>
    <message>
        <source>error while waiting for send bytes: %1</source>
        <translation>ошибка ожидания отправки байтов: %1</translation>
    </message>
    <message>
        <source>read answer timeout: %1</source>
        <translation>тайм-аут чтения ответа: %1</translation>
    </message>
    <message>
        <source>tftp packet if too small: %1</source>
        <translation>пакет TFTP слишком мал: %1</translation>
    </message>
    <message>
        <source>error from TFtp server received: %1</source>
        <translation>получена ошибка от сервера TFTP: %1</translation>
    </message>
    <message>
        <source>unsupported tftp packet type: %1</source>
        <translation>неподдерживаемый тип пакета TFTP: %1</translation>
    </message>
    <message>
        <source>unknown target</source>
        <translation>неизвестная цель</translation>
    </message>
    <message>
        <source>can&apos;t connect to: %1, %2</source>
        <translation>не удаётся подключиться к %1, %2</translation>
    </message>
    <message>
        <source>can&apos;t disconnect udp socket: %1, %2</source>
        <translation>не удаётся отключить сокет UDP: %1, %2</translation>
    </message>
</context>
<context>
    <name>ModbusTFtpServer</name>
    <message>
        <source>error from TFtp server received: %1</source>
        <translation>получена ошибка от сервера TFTP: %1</translation>
    </message>
    <message>
        <source>invalid modbus tftp data request</source>
        <translation>неверный запрос данных Modbus TFTP</translation>
    </message>
    <message>
        <source>unsupporter tftp packet type: %1</source>
        <translation>неподдерживаемый тип пакета TFTP: %1</translation>
    </message>
    <message>
        <source>failed to read datagram: %1</source>
        <translation>не удалось прочитать датаграмму: %1</translation>
    </message>
    <message>
        <source>can&apos;t send bytes - no tftp request is being answered</source>
        <translation>нельзя отправить байты: нет запроса TFTP, на который идёт ответ</translation>
    </message>
    <message>
        <source>can&apos;t send bytes - socket is not connected: %1</source>
        <translation>нельзя отправить байты: сокет не подключён: %1</translation>
    </message>
    <message>
        <source>error while sending bytes: %1</source>
        <translation>ошибка отправки байтов: %1</translation>
    </message>
    <message>
        <source>read answer timeout: %1</source>
        <translation>тайм-аут чтения ответа: %1</translation>
    </message>
    <message>
        <source>can&apos;t wait incoming connection in disconnected transport</source>
        <translation>нельзя ждать входящего подключения в отключённом транспорте</translation>
    </message>
    <message>
        <source>unknown target</source>
        <translation>неизвестная цель</translation>
    </message>
    <message>
        <source>error binding udp socket %1: %2</source>
        <translation>ошибка привязки сокета UDP %1: %2</translation>
    </message>
    <message>
        <source>can&apos;t disconnect udp socket: %1, %2</source>
        <translation>не удаётся отключить сокет UDP: %1, %2</translation>
    </message>
</context>
<context>
    <name>ModbusTcpClient</name>
    <message>
        <source>can&apos;t send bytes via disconnected transport</source>
        <translation>нельзя отправить байты через отключённый транспорт</translation>
    </message>
    <message>
        <source>error sending/receiving bytes: %1</source>
        <translation>ошибка отправки/приёма байтов: %1</translation>
    </message>
    <message>
        <source>answer with an invalid MBAP length, connection reset</source>
        <translation>ответ с неверной длиной MBAP, соединение сброшено</translation>
    </message>
    <message>
        <source>unknown target</source>
        <translation>неизвестная цель</translation>
    </message>
    <message>
        <source>transport: %1 (%2)
</source>
        <translation>транспорт: %1 (%2)
</translation>
    </message>
    <message>
        <source>status: </source>
        <translation>состояние: </translation>
    </message>
    <message>
        <source>target: %1</source>
        <translation>цель: %1</translation>
    </message>
    <message>
        <source>timeouts:  (connect: %1; disconnect: %2; read answer: %3; write: %4)
</source>
        <translation>тайм-ауты:  (подключение: %1; отключение: %2; чтение ответа: %3; запись: %4)
</translation>
    </message>
    <message>
        <source>can&apos;t connect to: %1, %2</source>
        <translation>не удаётся подключиться к %1, %2</translation>
    </message>
    <message>
        <source>can&apos;t disconnect tcp socket: %1, %2</source>
        <translation>не удаётся отключить сокет TCP: %1, %2</translation>
    </message>
    <message>
        <source>socket has been disconnected: %1</source>
        <translation>сокет отключён: %1</translation>
    </message>
</context>
<context>
    <name>ModbusTcpServer</name>
    <message>
        <source>can&apos;t find socket of this target</source>
        <translation>не найден сокет этой цели</translation>
    </message>
    <message>
        <source>error while sending bytes: %1</source>
        <translation>ошибка отправки байтов: %1</translation>
    </message>
    <message>
        <source>error while waiting for send bytes: %1</source>
        <translation>ошибка ожидания отправки байтов: %1</translation>
    </message>
    <message>
        <source>answer timeout: %1</source>
        <translation>тайм-аут ответа: %1</translation>
    </message>
    <message>
        <source>invalid target type</source>
        <translation>неверный тип цели</translation>
    </message>
    <message>
        <source>also have this target</source>
        <translation>эта цель уже есть</translation>
    </message>
    <message>
        <source>don&apos;t have this target</source>
        <translation>этой цели нет</translation>
    </message>
    <message>
        <source>unknown target</source>
        <translation>неизвестная цель</translation>
    </message>
    <message>
        <source>transport: %1 (%2)
</source>
        <translation>транспорт: %1 (%2)
</translation>
    </message>
    <message>
        <source>status: </source>
        <translation>состояние: </translation>
    </message>
    <message>
        <source>address: %1; port: %2</source>
        <translation>адрес: %1; порт: %2</translation>
    </message>
    <message>
        <source>timeouts:  (disconnect: %1; read answer: %2; write: %3)
</source>
        <translation>тайм-ауты:  (отключение: %1; чтение ответа: %2; запись: %3)
</translation>
    </message>
    <message>
        <source>targets [%1]:</source>
        <translation>цели [%1]:</translation>
    </message>
    <message>
        <source>  target %1: %2</source>
        <translation>  цель %1: %2</translation>
    </message>
    <message>
        <source>error listening tcp port %1: %2</source>
        <translation>ошибка прослушивания порта TCP %1: %2</translation>
    </message>
    <message>
        <source>can&apos;t disconnect socket: %1, %2</source>
        <translation>не удаётся отключить сокет: %1, %2</translation>
    </message>
</context>
<context>
    <name>ModbusTranslator</name>
    <message>
        <source>can&apos;t find transporter</source>
        <translation>не найден транспортёр</translation>
    </message>
    <message>
        <source>can&apos;t find needed deparser</source>
        <translation>не найден нужный сборщик</translation>
    </message>
    <message>
        <source>outcoming packet was blocked by dispatcher(s)</source>
        <translation>исходящий пакет заблокирован диспетчером</translation>
    </message>
    <message>
        <source>you must send only &apos;Request&apos;-state packets</source>
        <translation>отправлять можно только пакеты в состоянии &apos;Request&apos;</translation>
    </message>
    <message>
        <source>can&apos;t find transport</source>
        <translation>не найден транспорт</translation>
    </message>
    <message>
        <source>only modbus client can&apos;t send and receive packets</source>
        <translation>отправлять и принимать пакеты может только клиент Modbus</translation>
    </message>
    <message>
        <source>sendAndReceivePacket: can&apos;t find default client transport</source>
        <translation>sendAndReceivePacket: не найден транспорт клиента по умолчанию</translation>
    </message>
    <message>
        <source>sendAndReceivePacket: invalid target</source>
        <translation>sendAndReceivePacket: неверная цель</translation>
    </message>
    <message>
        <source>can&apos;t find needed parser for bytes: %1;  sent packet: %2</source>
        <translation>не найден нужный разборщик для байтов: %1;  отправленный пакет: %2</translation>
    </message>
    <message>
        <source>ERROR: parser returned wrong packet type</source>
        <translation>ОШИБКА: разборщик вернул неверный тип пакета</translation>
    </message>
    <message>
        <source>received &apos;non-Response&apos;-state packet</source>
        <translation>получен пакет не в состоянии &apos;Response&apos;</translation>
    </message>
    <message>
        <source>answer&apos;s function code %1 doesn&apos;t match the request&apos;s %2</source>
        <translation>код функции ответа %1 не совпадает с кодом запроса %2</translation>
    </message>
    <message>
        <source>answer came from unit %1, the request was sent to unit %2</source>
        <translation>ответ пришёл от устройства %1, а запрос был отправлен устройству %2</translation>
    </message>
    <message>
        <source>answer was blocked by dispatcher(s)</source>
        <translation>ответ заблокирован диспетчером</translation>
    </message>
    <message>
        <source>can&apos;t find needed parser2</source>
        <translation>не найден нужный разборщик (2)</translation>
    </message>
    <message>
        <source>you must answer only by &apos;Response&apos;-state packets</source>
        <translation>отвечать можно только пакетами в состоянии &apos;Response&apos;</translation>
    </message>
    <message>
        <source>Modbus Translator</source>
        <translation>Транслятор Modbus</translation>
    </message>
</context>
<context>
    <name>ModbusTransporter</name>
    <message>
        <source>you can set only modbus transport of ModbusClient type</source>
        <translation>можно задать только транспорт Modbus типа ModbusClient</translation>
    </message>
    <message>
        <source>you can add only ModbusTransport</source>
        <translation>добавить можно только ModbusTransport</translation>
    </message>
</context>
<context>
    <name>ModbusXmlEngine</name>
    <message>
        <source>Parse error at line %1, column %2:
%3</source>
        <translation>Ошибка разбора в строке %1, столбце %2:
%3</translation>
    </message>
</context>
<context>
    <name>Modbuser</name>
    <message>
        <source>can&apos;t access address %1: coils and discrete inputs are not supported</source>
        <translation>нет доступа к адресу %1: дискретные выходы (coils) и дискретные входы не поддерживаются</translation>
    </message>
    <message>
        <source>can&apos;t write address %1: input registers are read-only</source>
        <translation>нельзя записать адрес %1: входные регистры только для чтения</translation>
    </message>
    <message>
        <source>can&apos;t access address %1: register offset doesn&apos;t fit in 16 bits</source>
        <translation>нет доступа к адресу %1: смещение регистра не помещается в 16 бит</translation>
    </message>
    <message>
        <source>received exception packet: </source>
        <translation>получен пакет исключения: </translation>
    </message>
    <message>
        <source>received exception packet: %1; problem request packet: %2</source>
        <translation>получен пакет исключения: %1; пакет запроса: %2</translation>
    </message>
    <message>
        <source>received registers count (%1) doesn&apos;t equal requested registers count (%2). 
 Requested packet: 
 %3 
 AnswerPacket: 
 %4</source>
        <translation>число полученных регистров (%1) не равно числу запрошенных (%2). 
 Пакет запроса: 
 %3 
 Пакет ответа: 
 %4</translation>
    </message>
    <message>
        <source>can&apos;t write %1 bytes: registers take two bytes each</source>
        <translation>нельзя записать %1 байт: каждый регистр занимает два байта</translation>
    </message>
    <message>
        <source>received file registers count (%1) doesn&apos;t equal requested registers count (%2). 
 Requested packet: 
 %3 
 AnswerPacket: 
 %4</source>
        <translation>число полученных регистров файла (%1) не равно числу запрошенных (%2). 
 Пакет запроса: 
 %3 
 Пакет ответа: 
 %4</translation>
    </message>
    <message>
        <source>received empty arch packet: </source>
        <translation>получен пустой архивный пакет: </translation>
    </message>
    <message>
        <source>received empty arch packet</source>
        <translation>получен пустой архивный пакет</translation>
    </message>
    <message>
        <source>arch answer of %1 bytes is not a whole number of %2-byte records</source>
        <translation>архивный ответ из %1 байт не делится на записи по %2 байт</translation>
    </message>
    <message>
        <source>arch answer holds %1 records, %2 were asked for</source>
        <translation>в архивном ответе записей: %1, запрошено: %2</translation>
    </message>
    <message>
        <source>somebody else has been answered for this modbus request</source>
        <translation>на этот запрос Modbus уже ответил кто-то другой</translation>
    </message>
    <message>
        <source>Packet wasn&apos;t handled: </source>
        <translation>Пакет не обработан: </translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>discrete inputs</source>
        <translation>дискретные входы</translation>
    </message>
    <message>
        <source>coils</source>
        <translation>дискретные выходы (coils)</translation>
    </message>
    <message>
        <source>input registers</source>
        <translation>входные регистры</translation>
    </message>
    <message>
        <source>holding registers</source>
        <translation>регистры хранения</translation>
    </message>
    <message>
        <source>unknown function code</source>
        <translation>неизвестный код функции</translation>
    </message>
    <message>
        <source>read coils</source>
        <translation>чтение дискретных выходов (coils)</translation>
    </message>
    <message>
        <source>read discrete inputs</source>
        <translation>чтение дискретных входов</translation>
    </message>
    <message>
        <source>read holding registers</source>
        <translation>чтение регистров хранения</translation>
    </message>
    <message>
        <source>read input registers</source>
        <translation>чтение входных регистров</translation>
    </message>
    <message>
        <source>write single coil</source>
        <translation>запись одного дискретного выхода (coil)</translation>
    </message>
    <message>
        <source>write single register</source>
        <translation>запись одного регистра</translation>
    </message>
    <message>
        <source>read exception status</source>
        <translation>чтение статуса исключения</translation>
    </message>
    <message>
        <source>diagnostics</source>
        <translation>диагностика</translation>
    </message>
    <message>
        <source>get COM event counter</source>
        <translation>чтение счётчика событий COM</translation>
    </message>
    <message>
        <source>get COM event log</source>
        <translation>чтение журнала событий COM</translation>
    </message>
    <message>
        <source>write multiple coils</source>
        <translation>запись нескольких дискретных выходов (coils)</translation>
    </message>
    <message>
        <source>write multiple registers</source>
        <translation>запись нескольких регистров</translation>
    </message>
    <message>
        <source>report salve ID</source>
        <translation>чтение ID ведомого устройства</translation>
    </message>
    <message>
        <source>read file record</source>
        <translation>чтение записи файла</translation>
    </message>
    <message>
        <source>write file record</source>
        <translation>запись записи файла</translation>
    </message>
    <message>
        <source>mask write register</source>
        <translation>запись регистра по маске</translation>
    </message>
    <message>
        <source>read/write multiple registers</source>
        <translation>чтение/запись нескольких регистров</translation>
    </message>
    <message>
        <source>read FIFO queue</source>
        <translation>чтение очереди FIFO</translation>
    </message>
    <message>
        <source>read device identification</source>
        <translation>чтение идентификации устройства</translation>
    </message>
    <message>
        <source>read arch record (65)</source>
        <translation>чтение архивной записи (65)</translation>
    </message>
    <message>
        <source>read arch records presence</source>
        <translation>чтение наличия архивных записей</translation>
    </message>
    <message>
        <source>read arch record (67)</source>
        <translation>чтение архивной записи (67)</translation>
    </message>
    <message>
        <source>keyboard event</source>
        <translation>событие клавиатуры</translation>
    </message>
    <message>
        <source>type: %1
</source>
        <translation>тип: %1
</translation>
    </message>
    <message>
        <source>key: %1 (0x%2)
</source>
        <translation>клавиша: %1 (0x%2)
</translation>
    </message>
    <message>
        <source>for deparsing 65 function record index must be in less than 2 bytes length</source>
        <translation>для сборки функции 65 индекс записи должен занимать менее 2 байт</translation>
    </message>
    <message>
        <source>arch type: </source>
        <translation>тип архива: </translation>
    </message>
    <message>
        <source>arch index: </source>
        <translation>индекс архива: </translation>
    </message>
    <message>
        <source>direction: </source>
        <translation>направление: </translation>
    </message>
    <message>
        <source>request label: %1 (0x%2, %3)
</source>
        <translation>метка запроса: %1 (0x%2, %3)
</translation>
    </message>
    <message>
        <source>  label %1: %2 (0x%3, %4)
</source>
        <translation>  метка %1: %2 (0x%3, %4)
</translation>
    </message>
    <message>
        <source>requested file: %1 (0x%2) 
</source>
        <translation>запрошенный файл: %1 (0x%2) 
</translation>
    </message>
    <message>
        <source>requested offset: %1 (0x%2) 
</source>
        <translation>запрошенное смещение: %1 (0x%2) 
</translation>
    </message>
    <message>
        <source>request registers count: %1
</source>
        <translation>число регистров запроса: %1
</translation>
    </message>
    <message>
        <source>registers written: %1
</source>
        <translation>записано регистров: %1
</translation>
    </message>
    <message>
        <source>request address: %1 (%2) 
</source>
        <translation>адрес запроса: %1 (%2) 
</translation>
    </message>
    <message>
        <source>request time: %1</source>
        <translation>время запроса: %1</translation>
    </message>
    <message>
        <source>from target: %1</source>
        <translation>от цели: %1</translation>
    </message>
    <message>
        <source>request address: %1</source>
        <translation>адрес запроса: %1</translation>
    </message>
    <message>
        <source>answer exception code: %1</source>
        <translation>код исключения в ответе: %1</translation>
    </message>
    <message>
        <source>from transport: %1</source>
        <translation>от транспорта: %1</translation>
    </message>
    <message>
        <source>system code: %1 (0x%2)
</source>
        <translation>системный код: %1 (0x%2)
</translation>
    </message>
    <message>
        <source>aborted</source>
        <translation>прервано</translation>
    </message>
    <message>
        <source>splitting of ModbusReport task is not allowed</source>
        <translation>задачу ModbusReport делить нельзя</translation>
    </message>
</context>
<context>
    <name>QSerialPortInvokable</name>
    <message>
        <source>can&apos;t set &apos;baudRate&apos; property to: %1</source>
        <translation>не удаётся установить свойство &apos;baudRate&apos; в %1</translation>
    </message>
    <message>
        <source>can&apos;t set &apos;dataBits&apos; property to: %1</source>
        <translation>не удаётся установить свойство &apos;dataBits&apos; в %1</translation>
    </message>
    <message>
        <source>can&apos;t set &apos;parity&apos; property to: %1</source>
        <translation>не удаётся установить свойство &apos;parity&apos; в %1</translation>
    </message>
    <message>
        <source>can&apos;t set &apos;stopBits&apos; property to: %1</source>
        <translation>не удаётся установить свойство &apos;stopBits&apos; в %1</translation>
    </message>
    <message>
        <source>can&apos;t set &apos;flowControl&apos; property to: %1</source>
        <translation>не удаётся установить свойство &apos;flowControl&apos; в %1</translation>
    </message>
    <message>
        <source>can&apos;t set &apos;dataErrorPolicy&apos; property to: %1</source>
        <translation>не удаётся установить свойство &apos;dataErrorPolicy&apos; в %1</translation>
    </message>
    <message>
        <source>can&apos;t set &apos;dtr&apos; property to: %1</source>
        <translation>не удаётся установить свойство &apos;dtr&apos; в %1</translation>
    </message>
</context>
<context>
    <name>QmlDorrikBusPlugin</name>
    <message>
        <source>Element is not creatable.</source>
        <translation>Элемент нельзя создать.</translation>
    </message>
    <message>
        <source>Element is not creatable</source>
        <translation>Элемент нельзя создать</translation>
    </message>
</context>
<context>
    <name>SerialPortsModel</name>
    <message>
        <source>name</source>
        <translation>имя</translation>
    </message>
    <message>
        <source>location</source>
        <translation>расположение</translation>
    </message>
    <message>
        <source>description</source>
        <translation>описание</translation>
    </message>
    <message>
        <source>manufacturer</source>
        <translation>производитель</translation>
    </message>
    <message>
        <source>vendor ID</source>
        <translation>ID производителя</translation>
    </message>
    <message>
        <source>product ID</source>
        <translation>ID изделия</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>занят</translation>
    </message>
</context>
<context>
    <name>TFtpDatagram</name>
    <message>
        <source>not defined, see error message (if any)</source>
        <translation>не определена, см. сообщение об ошибке (если есть)</translation>
    </message>
    <message>
        <source>file not found</source>
        <translation>файл не найден</translation>
    </message>
    <message>
        <source>access violation</source>
        <translation>нарушение доступа</translation>
    </message>
    <message>
        <source>disk full or allocation exceeded</source>
        <translation>диск заполнен или выделенное место исчерпано</translation>
    </message>
    <message>
        <source>illegal TFTP operation</source>
        <translation>недопустимая операция TFTP</translation>
    </message>
    <message>
        <source>unknown transfer ID</source>
        <translation>неизвестный идентификатор передачи</translation>
    </message>
    <message>
        <source>file already exists</source>
        <translation>файл уже существует</translation>
    </message>
    <message>
        <source>no such user</source>
        <translation>нет такого пользователя</translation>
    </message>
    <message>
        <source>illegal option</source>
        <translation>недопустимый параметр</translation>
    </message>
    <message>
        <source>unknown error code</source>
        <translation>неизвестный код ошибки</translation>
    </message>
</context>
<context>
    <name>TavSitesModel</name>
    <message>
        <source>setSite: no slot %1 in a table of %2</source>
        <translation>setSite: в таблице из %2 нет ячейки %1</translation>
    </message>
    <message>
        <source>setSite: a site path has three names, not %1</source>
        <translation>setSite: путь объекта состоит из трёх имён, а не из %1</translation>
    </message>
</context>
<context>
    <name>TavrinFlowRateHistoryItem</name>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Flow velocity</source>
        <translation>Скорость потока</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q</translation>
    </message>
</context>
<context>
    <name>TavrinHeatHistoryItem</name>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
</context>
<context>
    <name>TavrinPressureHistoryItem</name>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
</context>
<context>
    <name>Transport</name>
    <message>
        <source>can&apos;t send bytes via disconnected transport</source>
        <translation>нельзя отправить байты через отключённый транспорт</translation>
    </message>
    <message>
        <source>this method can be run only in owned thread</source>
        <translation>этот метод можно вызывать только в потоке-владельце</translation>
    </message>
    <message>
        <source>incorrect target to send bytes</source>
        <translation>неверная цель для отправки байтов</translation>
    </message>
    <message>
        <source>also connected</source>
        <translation>уже подключён</translation>
    </message>
    <message>
        <source>also disconnected</source>
        <translation>уже отключён</translation>
    </message>
</context>
<context>
    <name>Transporter</name>
    <message>
        <source>transport not found</source>
        <translation>транспорт не найден</translation>
    </message>
    <message>
        <source>Transporter</source>
        <translation>Транспортёр</translation>
    </message>
    <message>
        <source>error while connecting: %1</source>
        <translation>ошибка подключения: %1</translation>
    </message>
</context>
<context>
    <name>TrendModelBase</name>
    <message>
        <source>can&apos;t convert label &apos;%1&apos; to datetime</source>
        <translation>не удаётся преобразовать метку &apos;%1&apos; в дату и время</translation>
    </message>
</context>
<context>
    <name>UsbBulkDevice</name>
    <message>
        <source>open libusb device failed: device not found</source>
        <translation>не удалось открыть устройство libusb: устройство не найдено</translation>
    </message>
    <message>
        <source>setConfiguration failed: device didn&apos;t set</source>
        <translation>setConfiguration не выполнено: устройство не задано</translation>
    </message>
    <message>
        <source>setConfiguration failed, error: %1 (%2)</source>
        <translation>setConfiguration не выполнено, ошибка: %1 (%2)</translation>
    </message>
    <message>
        <source>selectInterface failed, usb_claim_interface error: %1</source>
        <translation>selectInterface не выполнено, ошибка usb_claim_interface: %1</translation>
    </message>
    <message>
        <source>releaseInterface failed, usb_release_interface error: %1</source>
        <translation>releaseInterface не выполнено, ошибка usb_release_interface: %1</translation>
    </message>
    <message>
        <source>usb_find_interface failed: config_descriptor didn&apos;t assigned</source>
        <translation>usb_find_interface не выполнено: config_descriptor не задан</translation>
    </message>
    <message>
        <source>usb_find_interface failed: interface doesn&apos;t exist</source>
        <translation>usb_find_interface не выполнено: интерфейс не существует</translation>
    </message>
</context>
<context>
    <name>VParser</name>
    <message>
        <source>unsupported funcion code</source>
        <translation>неподдерживаемый код функции</translation>
    </message>
</context>
</TS>
