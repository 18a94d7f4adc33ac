<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>AdditionalMeasureDialog</name>
    <message>
        <source>Flow rate</source>
        <translation>Расход</translation>
    </message>
    <message>
        <source>Heat</source>
        <translation>Тепло</translation>
    </message>
    <message>
        <source>Pressure channel</source>
        <translation>Канал давления</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>ArchChartCurveButton</name>
    <message>
        <source>Total</source>
        <translation>Всего</translation>
    </message>
    <message>
        <source>For interval</source>
        <translation>За интервал</translation>
    </message>
</context>
<context>
    <name>ArchChartsDialog</name>
    <message>
        <source>records</source>
        <translation>записей</translation>
    </message>
    <message>
        <source>Archival charts</source>
        <translation>Архивные графики</translation>
    </message>
    <message>
        <source>From: </source>
        <translation>С: </translation>
    </message>
    <message>
        <source>To: </source>
        <translation>По: </translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
</context>
<context>
    <name>ArchExportDialog</name>
    <message>
        <source>records: &gt; </source>
        <translation>записей: &gt; </translation>
    </message>
    <message>
        <source>records: </source>
        <translation>записей: </translation>
    </message>
    <message>
        <source>Export archival records</source>
        <translation>Экспорт архивных записей</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*.*)</source>
        <translation>Файлы CSV (*.csv);;Все файлы (*.*)</translation>
    </message>
    <message>
        <source>Error while reading records</source>
        <translation>Ошибка при чтении записей</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Группа</translation>
    </message>
    <message>
        <source>Subgroup</source>
        <translation>Подгруппа</translation>
    </message>
    <message>
        <source>Site</source>
        <translation>Объект</translation>
    </message>
    <message>
        <source>Exporting ...</source>
        <translation>Экспорт ...</translation>
    </message>
    <message>
        <source>Error while exporting</source>
        <translation>Ошибка при экспорте</translation>
    </message>
    <message>
        <source>Sites</source>
        <translation>Объекты</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Экспорт</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>No sites to export</source>
        <translation>Нет объектов для экспорта</translation>
    </message>
</context>
<context>
    <name>ArchRecordShowType</name>
    <message>
        <source>Cumul.
total</source>
        <translation>Нараст.
итог</translation>
    </message>
</context>
<context>
    <name>ArchiveExport</name>
    <message>
        <source>Successfully completed</source>
        <translation>Успешно завершено</translation>
    </message>
</context>
<context>
    <name>Balls</name>
    <message>
        <source>Balls</source>
        <translation>Шарики</translation>
    </message>
    <message>
        <source>New Game</source>
        <translation>Новая игра</translation>
    </message>
    <message>
        <source>Score: </source>
        <translation>Счёт: </translation>
    </message>
</context>
<context>
    <name>BigMeasureDialog</name>
    <message>
        <source>Peak</source>
        <translation>Пик</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>BoolEditor</name>
    <message>
        <source>yes</source>
        <translation>да</translation>
    </message>
    <message>
        <source>no</source>
        <translation>нет</translation>
    </message>
</context>
<context>
    <name>BoolProperty</name>
    <message>
        <source>yes</source>
        <translation>да</translation>
    </message>
    <message>
        <source>no</source>
        <translation>нет</translation>
    </message>
</context>
<context>
    <name>BottomPanel</name>
    <message>
        <source>&lt; Measurements</source>
        <translation>&lt; Измерения</translation>
    </message>
    <message>
        <source>Data logger &gt;</source>
        <translation>Архив &gt;</translation>
    </message>
</context>
<context>
    <name>BrightnessMenuItem</name>
    <message>
        <source>Brightness</source>
        <translation>Яркость</translation>
    </message>
</context>
<context>
    <name>CalibrationButtonsRow</name>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Пуск</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Установить</translation>
    </message>
</context>
<context>
    <name>CalibrationWaitFrame</name>
    <message>
        <source>The device did not take the start of the calibration.</source>
        <translation>Прибор не принял запуск калибровки.</translation>
    </message>
    <message>
        <source>The device did not take the stop of the calibration. It is sent again until the device takes it.</source>
        <translation>Прибор не принял остановку калибровки. Она отправляется снова, пока прибор её не примет.</translation>
    </message>
    <message>
        <source>The device did not take the result of the calibration.</source>
        <translation>Прибор не принял результат калибровки.</translation>
    </message>
</context>
<context>
    <name>Card status</name>
    <message>
        <source>no card</source>
        <translation>нет карты</translation>
    </message>
    <message>
        <source>init error</source>
        <translation>ошибка иниц.</translation>
    </message>
    <message>
        <source>installed</source>
        <translation>установлена</translation>
    </message>
    <message>
        <source>error</source>
        <translation>ошибка</translation>
    </message>
    <message>
        <source>full</source>
        <translation>заполнена</translation>
    </message>
    <message>
        <source>erasing</source>
        <translation>стирание</translation>
    </message>
    <message>
        <source>initializing</source>
        <translation>инициализация</translation>
    </message>
</context>
<context>
    <name>CardCapacity</name>
    <message>
        <source>rec.</source>
        <translation>зап.</translation>
    </message>
</context>
<context>
    <name>CommandProperty</name>
    <message>
        <source>Are you sure?</source>
        <translation>Вы уверены?</translation>
    </message>
</context>
<context>
    <name>Configurations</name>
    <message>
        <source>Load from file</source>
        <translation>Загрузить из файла</translation>
    </message>
</context>
<context>
    <name>ConfirmDialog</name>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
</context>
<context>
    <name>ConnectionSettingsDialog</name>
    <message>
        <source>Connection settings</source>
        <translation>Настройки связи</translation>
    </message>
    <message>
        <source>Available devices: </source>
        <translation>Доступные приборы: </translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
</context>
<context>
    <name>ConnectionState</name>
    <message>
        <source>Connection</source>
        <translation>Связь</translation>
    </message>
    <message>
        <source>off</source>
        <translation>выкл.</translation>
    </message>
    <message>
        <source>on</source>
        <translation>вкл.</translation>
    </message>
</context>
<context>
    <name>DateTimeEdit</name>
    <message>
        <source>month</source>
        <translation>месяц</translation>
    </message>
    <message>
        <source>year</source>
        <translation>год</translation>
    </message>
    <message>
        <source>h</source>
        <translation>ч</translation>
    </message>
    <message>
        <source>m</source>
        <translation>мин</translation>
    </message>
    <message>
        <source>s</source>
        <translation>с</translation>
    </message>
</context>
<context>
    <name>DateTimeEditor</name>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>DayOhMonth</name>
    <message>
        <source>date</source>
        <translation>число</translation>
    </message>
</context>
<context>
    <name>DeviceDimensions</name>
    <message>
        <source>m</source>
        <translation>м</translation>
    </message>
    <message>
        <source>h</source>
        <translation>ч</translation>
    </message>
    <message>
        <source>s</source>
        <translation>с</translation>
    </message>
    <message>
        <source>l/min</source>
        <translation>л/мин</translation>
    </message>
    <message>
        <source>l/h</source>
        <translation>л/ч</translation>
    </message>
    <message>
        <source>l</source>
        <translation>л</translation>
    </message>
    <message>
        <source>m/s</source>
        <translation>м/с</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>мм</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>km/s</source>
        <translation>км/с</translation>
    </message>
    <message>
        <source>min</source>
        <translation>мин</translation>
    </message>
    <message>
        <source>imp/m</source>
        <translation>имп/м</translation>
    </message>
    <message>
        <source>imp/l</source>
        <translation>имп/л</translation>
    </message>
    <message>
        <source>imp</source>
        <translation>имп</translation>
    </message>
    <message>
        <source>l/imp</source>
        <translation>л/имп</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Гц</translation>
    </message>
    <message>
        <source>kHz</source>
        <translation>кГц</translation>
    </message>
    <message>
        <source>baud</source>
        <translation>бод</translation>
    </message>
    <message>
        <source>cSt</source>
        <translation>сСт</translation>
    </message>
    <message>
        <source>t/h</source>
        <translation>т/ч</translation>
    </message>
    <message>
        <source>Gcal/h</source>
        <translation>Гкал/ч</translation>
    </message>
    <message>
        <source>t</source>
        <translation>т</translation>
    </message>
    <message>
        <source>Gcal</source>
        <translation>Гкал</translation>
    </message>
    <message>
        <source>mA</source>
        <translation>мА</translation>
    </message>
    <message>
        <source>MPa</source>
        <translation>МПа</translation>
    </message>
    <message>
        <source>ohms</source>
        <translation>Ом</translation>
    </message>
    <message>
        <source>mm Hg</source>
        <translation>мм рт. ст.</translation>
    </message>
    <message>
        <source>kg</source>
        <translation>кг</translation>
    </message>
    <message>
        <source>kg/h</source>
        <translation>кг/ч</translation>
    </message>
    <message>
        <source>kg/min</source>
        <translation>кг/мин</translation>
    </message>
    <message>
        <source>t/s</source>
        <translation>т/с</translation>
    </message>
    <message>
        <source>GJ</source>
        <translation>ГДж</translation>
    </message>
    <message>
        <source>MW*h</source>
        <translation>МВт·ч</translation>
    </message>
    <message>
        <source>GJ/h</source>
        <translation>ГДж/ч</translation>
    </message>
    <message>
        <source>MW</source>
        <translation>МВт</translation>
    </message>
    <message>
        <source>µs</source>
        <translation>мкс</translation>
    </message>
</context>
<context>
    <name>DeviceEventer</name>
    <message>
        <source>Battery is low, shutdown the device?</source>
        <translation>Аккумулятор разряжен. Выключить прибор?</translation>
    </message>
</context>
<context>
    <name>DeviceFrames</name>
    <message>
        <source>Connection: </source>
        <translation>Связь: </translation>
    </message>
    <message>
        <source>Measurement parameters</source>
        <translation>Параметры измерений</translation>
    </message>
    <message>
        <source>Site</source>
        <translation>Объект</translation>
    </message>
    <message>
        <source>Pipe parameters</source>
        <translation>Параметры трубопровода</translation>
    </message>
    <message>
        <source>Fluid parameters</source>
        <translation>Параметры среды</translation>
    </message>
    <message>
        <source>Heat calculation will be disabled for fluids other than water.</source>
        <translation>Для сред, отличных от воды, расчёт тепловой энергии будет отключён.</translation>
    </message>
    <message>
        <source>Continue editing?</source>
        <translation>Продолжить редактирование?</translation>
    </message>
    <message>
        <source>Measuring system parameters</source>
        <translation>Параметры измерительной системы</translation>
    </message>
    <message>
        <source>Results processing</source>
        <translation>Обработка результатов</translation>
    </message>
    <message>
        <source>Additional parameters</source>
        <translation>Дополнительные параметры</translation>
    </message>
    <message>
        <source>Calibrating zero flow offset</source>
        <translation>Калибровка смещения нуля</translation>
    </message>
    <message>
        <source>Setting a zero flow point</source>
        <translation>Установка нулевой точки расхода</translation>
    </message>
    <message>
        <source>Additional delay adjustment</source>
        <translation>Подстройка дополнительной задержки</translation>
    </message>
    <message>
        <source>Heat calculation parameters</source>
        <translation>Параметры расчёта тепловой энергии</translation>
    </message>
    <message>
        <source>Heat calculation is not avaliable for fluids other than water.</source>
        <translation>Расчёт тепловой энергии доступен только для воды.</translation>
    </message>
    <message>
        <source>Go to fluid type menu?</source>
        <translation>Перейти к выбору типа среды?</translation>
    </message>
    <message>
        <source>Pressure sensor</source>
        <translation>Датчик давления</translation>
    </message>
    <message>
        <source>RTD1 (supply pipe)</source>
        <translation>ТС1 (подающий трубопровод)</translation>
    </message>
    <message>
        <source>RTD2 (return pipe)</source>
        <translation>ТС2 (обратный трубопровод)</translation>
    </message>
    <message>
        <source>Data logger setup</source>
        <translation>Настройка архива</translation>
    </message>
    <message>
        <source>Periphery settings</source>
        <translation>Настройка периферии</translation>
    </message>
    <message>
        <source>RS-485 settings</source>
        <translation>Настройка RS-485</translation>
    </message>
    <message>
        <source>Discrete output settings</source>
        <translation>Настройка дискретного выхода</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Logical out settings</source>
        <translation>Настройка логического выхода</translation>
    </message>
    <message>
        <source>Pulse out settings</source>
        <translation>Настройка импульсного выхода</translation>
    </message>
    <message>
        <source>KI calculation error</source>
        <translation>Ошибка расчёта Ki</translation>
    </message>
    <message>
        <source>Frequency out settings</source>
        <translation>Настройка частотного выхода</translation>
    </message>
    <message>
        <source>KP calculation error</source>
        <translation>Ошибка расчёта KP</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>Приложения</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Калькулятор</translation>
    </message>
    <message>
        <source>Sea battle</source>
        <translation>Морской бой</translation>
    </message>
    <message>
        <source>Balls</source>
        <translation>Шарики</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Расписание</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>Интервал</translation>
    </message>
    <message>
        <source>Documentation</source>
        <translation>Документация</translation>
    </message>
    <message>
        <source>System settings</source>
        <translation>Системные настройки</translation>
    </message>
    <message>
        <source>Test the touch screen</source>
        <translation>Проверка сенсорного экрана</translation>
    </message>
    <message>
        <source>Units</source>
        <translation>Единицы измерения</translation>
    </message>
    <message>
        <source>Device status</source>
        <translation>Состояние прибора</translation>
    </message>
    <message>
        <source>Battery time remains
   display on
   display off</source>
        <translation>Время работы от батареи
   дисплей вкл.
   дисплей выкл.</translation>
    </message>
    <message>
        <source>Software identificator</source>
        <translation>Идентификатор ПО</translation>
    </message>
    <message>
        <source>Modules</source>
        <translation>Модули</translation>
    </message>
    <message>
        <source>Menu version</source>
        <translation>Версия меню</translation>
    </message>
    <message>
        <source>Failures</source>
        <translation>Неисправности</translation>
    </message>
    <message>
        <source>Power saving options</source>
        <translation>Энергосбережение</translation>
    </message>
</context>
<context>
    <name>DeviceLeftPage</name>
    <message>
        <source>Flow rate</source>
        <translation>Расход</translation>
    </message>
    <message>
        <source>Heat</source>
        <translation>Тепло</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Пуск</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Additional</source>
        <translation>Дополнительно</translation>
    </message>
    <message>
        <source>Signals</source>
        <translation>Сигналы</translation>
    </message>
</context>
<context>
    <name>DevicePowerManager</name>
    <message>
        <source>Shutting down...</source>
        <translation>Выключение...</translation>
    </message>
    <message>
        <source>The device did not take the shutdown command. It stays on.</source>
        <translation>Прибор не принял команду выключения и остаётся включённым.</translation>
    </message>
</context>
<context>
    <name>DeviceProps</name>
    <message>
        <source>1 s</source>
        <translation>1 с</translation>
    </message>
    <message>
        <source>2 s</source>
        <translation>2 с</translation>
    </message>
    <message>
        <source>5 s</source>
        <translation>5 с</translation>
    </message>
    <message>
        <source>6 s</source>
        <translation>6 с</translation>
    </message>
    <message>
        <source>10 s</source>
        <translation>10 с</translation>
    </message>
    <message>
        <source>30 s</source>
        <translation>30 с</translation>
    </message>
    <message>
        <source>1 min</source>
        <translation>1 мин</translation>
    </message>
    <message>
        <source>5 min</source>
        <translation>5 мин</translation>
    </message>
    <message>
        <source>6 min</source>
        <translation>6 мин</translation>
    </message>
    <message>
        <source>Date &amp; time</source>
        <translation>Дата и время</translation>
    </message>
    <message>
        <source>ModBus device address</source>
        <translation>Адрес прибора ModBus</translation>
    </message>
    <message>
        <source>BaudRate</source>
        <translation>Скорость обмена</translation>
    </message>
    <message>
        <source>Byte timeout</source>
        <translation>Межбайтовый тайм-аут</translation>
    </message>
    <message>
        <source>RTS delay</source>
        <translation>Задержка RTS</translation>
    </message>
    <message>
        <source>RTU</source>
        <translation>RTU</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Заводской номер</translation>
    </message>
    <message>
        <source>Software version</source>
        <translation>Версия ПО</translation>
    </message>
    <message>
        <source>Meter version</source>
        <translation>Версия прибора</translation>
    </message>
    <message>
        <source>Software CRC</source>
        <translation>Контрольная сумма ПО</translation>
    </message>
    <message>
        <source>USB connection</source>
        <translation>Подключение USB</translation>
    </message>
    <message>
        <source>Probe voltage</source>
        <translation>Напряжение зондирования</translation>
    </message>
    <message>
        <source>Uprobe</source>
        <translation>Uзонд</translation>
    </message>
    <message>
        <source>Automatic gain control</source>
        <translation>Авторегулировка усиления</translation>
    </message>
    <message>
        <source>off</source>
        <translation>выкл.</translation>
    </message>
    <message>
        <source>on</source>
        <translation>вкл.</translation>
    </message>
    <message>
        <source>Kagc</source>
        <translation>Kagc</translation>
    </message>
    <message>
        <source>LB of signal search zone</source>
        <translation>Начало зоны поиска сигнала</translation>
    </message>
    <message>
        <source>Tmin</source>
        <translation>Tmin</translation>
    </message>
    <message>
        <source>UB of signal search zone</source>
        <translation>Конец зоны поиска сигнала</translation>
    </message>
    <message>
        <source>Tmax</source>
        <translation>Tmax</translation>
    </message>
    <message>
        <source>Median averaging</source>
        <translation>Медианное усреднение</translation>
    </message>
    <message>
        <source>Arithmetic averaging</source>
        <translation>Арифметическое усреднение</translation>
    </message>
    <message>
        <source>Sensor freq type</source>
        <translation>Частотный тип датчика</translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation>Датчик</translation>
    </message>
    <message>
        <source>LF</source>
        <translation>НЧ</translation>
    </message>
    <message>
        <source>HF</source>
        <translation>ВЧ</translation>
    </message>
    <message>
        <source>Phase velocity</source>
        <translation>Фазовая скорость</translation>
    </message>
    <message>
        <source>ν</source>
        <translation>ν</translation>
    </message>
    <message>
        <source>Sensor t</source>
        <translation>Температура датчика</translation>
    </message>
    <message>
        <source>t</source>
        <translation>t</translation>
    </message>
    <message>
        <source>Probe signal frequency</source>
        <translation>Частота зондирующего сигнала</translation>
    </message>
    <message>
        <source>F</source>
        <translation>F</translation>
    </message>
    <message>
        <source>Signal detection threshold</source>
        <translation>Порог обнаружения сигнала</translation>
    </message>
    <message>
        <source>Probe pulses count</source>
        <translation>Число зондирующих импульсов</translation>
    </message>
    <message>
        <source>Sensor type</source>
        <translation>Тип датчика</translation>
    </message>
    <message>
        <source>XDCR mounting method</source>
        <translation>Схема установки ПЭП</translation>
    </message>
    <message>
        <source>Z-mount</source>
        <translation>Z-схема</translation>
    </message>
    <message>
        <source>V-mount</source>
        <translation>V-схема</translation>
    </message>
    <message>
        <source>Pipe material</source>
        <translation>Материал трубы</translation>
    </message>
    <message>
        <source>Carbon Steel</source>
        <translation>Углеродистая сталь</translation>
    </message>
    <message>
        <source>Stainless Steel</source>
        <translation>Нержавеющая сталь</translation>
    </message>
    <message>
        <source>Cast Iron I</source>
        <translation>Чугун I</translation>
    </message>
    <message>
        <source>Cast Iron II</source>
        <translation>Чугун II</translation>
    </message>
    <message>
        <source>Brass</source>
        <translation>Латунь</translation>
    </message>
    <message>
        <source>Polystyrene</source>
        <translation>Полистирол</translation>
    </message>
    <message>
        <source>Polyamide</source>
        <translation>Полиамид</translation>
    </message>
    <message>
        <source>Pyrex glass</source>
        <translation>Стекло пирекс</translation>
    </message>
    <message>
        <source>Crowns glass</source>
        <translation>Стекло крон</translation>
    </message>
    <message>
        <source>Flint glass</source>
        <translation>Стекло флинт</translation>
    </message>
    <message>
        <source>Quartz glass</source>
        <translation>Кварцевое стекло</translation>
    </message>
    <message>
        <source>PVC</source>
        <translation>ПВХ</translation>
    </message>
    <message>
        <source>Plexiglass</source>
        <translation>Оргстекло</translation>
    </message>
    <message>
        <source>Teflon</source>
        <translation>Фторопласт</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Другой</translation>
    </message>
    <message>
        <source>Pipe liner material</source>
        <translation>Материал футеровки</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Polyethylene</source>
        <translation>Полиэтилен</translation>
    </message>
    <message>
        <source>Flow sign</source>
        <translation>Знак расхода</translation>
    </message>
    <message>
        <source>Inertial time</source>
        <translation>Постоянная времени</translation>
    </message>
    <message>
        <source>Pipe sound speed</source>
        <translation>Скорость звука в трубе</translation>
    </message>
    <message>
        <source>Pipe wall thickness</source>
        <translation>Толщина стенки трубы</translation>
    </message>
    <message>
        <source>Pipe liner sound speed</source>
        <translation>Скорость звука в футеровке</translation>
    </message>
    <message>
        <source>Pipe liner thickness</source>
        <translation>Толщина футеровки</translation>
    </message>
    <message>
        <source>Pipe circumference</source>
        <translation>Длина окружности трубы</translation>
    </message>
    <message>
        <source>Pipe outside diameter</source>
        <translation>Наружный диаметр трубы</translation>
    </message>
    <message>
        <source>XDCR plane diameter</source>
        <translation>Диаметр плоскости ПЭП</translation>
    </message>
    <message>
        <source>XDCR spacing</source>
        <translation>Расстояние между ПЭП</translation>
    </message>
    <message>
        <source>Pipe roughness</source>
        <translation>Шероховатость трубы</translation>
    </message>
    <message>
        <source>Fluid viscosity</source>
        <translation>Вязкость среды</translation>
    </message>
    <message>
        <source>Max. flow rate accel.</source>
        <translation>Макс. ускорение расхода</translation>
    </message>
    <message>
        <source>Maximum flow rate</source>
        <translation>Максимальный расход</translation>
    </message>
    <message>
        <source>Low flow cut-off</source>
        <translation>Отсечка малого расхода</translation>
    </message>
    <message>
        <source>Zero flow offset dt0</source>
        <translation>Смещение нуля dt0</translation>
    </message>
    <message>
        <source>dt0</source>
        <translation>dt0</translation>
    </message>
    <message>
        <source>Additional delay</source>
        <translation>Дополнительная задержка</translation>
    </message>
    <message>
        <source>Padd</source>
        <translation>Padd</translation>
    </message>
    <message>
        <source>Fluid sound speed</source>
        <translation>Скорость звука в среде</translation>
    </message>
    <message>
        <source>Ctab</source>
        <translation>Ctab</translation>
    </message>
    <message>
        <source>K1</source>
        <translation>K1</translation>
    </message>
    <message>
        <source>K2</source>
        <translation>K2</translation>
    </message>
    <message>
        <source>K3</source>
        <translation>K3</translation>
    </message>
    <message>
        <source>Lower set point</source>
        <translation>Нижняя уставка</translation>
    </message>
    <message>
        <source>Upper set point</source>
        <translation>Верхняя уставка</translation>
    </message>
    <message>
        <source>Fluid type</source>
        <translation>Тип среды</translation>
    </message>
    <message>
        <source>Fluid temperature</source>
        <translation>Температура среды</translation>
    </message>
    <message>
        <source>dt measured</source>
        <translation>dt измеренное</translation>
    </message>
    <message>
        <source>dt</source>
        <translation>dt</translation>
    </message>
    <message>
        <source>dt calculated</source>
        <translation>dt расчётное</translation>
    </message>
    <message>
        <source>Average flight time</source>
        <translation>Среднее время пролёта</translation>
    </message>
    <message>
        <source>P</source>
        <translation>P</translation>
    </message>
    <message>
        <source>Average dt0</source>
        <translation>Среднее dt0</translation>
    </message>
    <message>
        <source>Current gain</source>
        <translation>Текущее усиление</translation>
    </message>
    <message>
        <source>gain</source>
        <translation>Ку</translation>
    </message>
    <message>
        <source>Signal strength</source>
        <translation>Уровень сигнала</translation>
    </message>
    <message>
        <source>Measurements per second</source>
        <translation>Измерений в секунду</translation>
    </message>
    <message>
        <source>Nmeas</source>
        <translation>Nmeas</translation>
    </message>
    <message>
        <source>Flow rate</source>
        <translation>Расход</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q</translation>
    </message>
    <message>
        <source>Flow velocity</source>
        <translation>Скорость потока</translation>
    </message>
    <message>
        <source>υ</source>
        <translation>υ</translation>
    </message>
    <message>
        <source>Hydrodynamic coeff.</source>
        <translation>Гидродинамический коэф.</translation>
    </message>
    <message>
        <source>Hc</source>
        <translation>Hc</translation>
    </message>
    <message>
        <source>Total additional delay</source>
        <translation>Суммарная доп. задержка</translation>
    </message>
    <message>
        <source>Flow increase acceleration</source>
        <translation>Ускорение нарастания расхода</translation>
    </message>
    <message>
        <source>Measured sound speed</source>
        <translation>Измеренная скорость звука</translation>
    </message>
    <message>
        <source>Cmeas</source>
        <translation>Cmeas</translation>
    </message>
    <message>
        <source>Current add. delay</source>
        <translation>Текущая доп. задержка</translation>
    </message>
    <message>
        <source>Suggested XDCR spacing</source>
        <translation>Рекоменд. расст. между ПЭП</translation>
    </message>
    <message>
        <source>Volume +</source>
        <translation>Объём +</translation>
    </message>
    <message>
        <source>V+</source>
        <translation>V+</translation>
    </message>
    <message>
        <source>Volume -</source>
        <translation>Объём -</translation>
    </message>
    <message>
        <source>V-</source>
        <translation>V-</translation>
    </message>
    <message>
        <source>Volume summary</source>
        <translation>Суммарный объём</translation>
    </message>
    <message>
        <source>ΣV</source>
        <translation>ΣV</translation>
    </message>
    <message>
        <source>Emergency situations</source>
        <translation>Нештатные ситуации</translation>
    </message>
    <message>
        <source>ES</source>
        <translation>НС</translation>
    </message>
    <message>
        <source>Quickly no sensor</source>
        <translation>Кратковременно нет датчика</translation>
    </message>
    <message>
        <source>No sensor</source>
        <translation>Нет датчика</translation>
    </message>
    <message>
        <source>User data error</source>
        <translation>Ошибка пользовательских данных</translation>
    </message>
    <message>
        <source>Qmax overflow</source>
        <translation>Превышение Qmax</translation>
    </message>
    <message>
        <source>Q&gt;Qhs</source>
        <translation>Q&gt;Qhs</translation>
    </message>
    <message>
        <source>Q&lt;Qls</source>
        <translation>Q&lt;Qls</translation>
    </message>
    <message>
        <source>Current frequency</source>
        <translation>Текущая частота</translation>
    </message>
    <message>
        <source>Fcur</source>
        <translation>Fcur</translation>
    </message>
    <message>
        <source>Integral value</source>
        <translation>Интегральное значение</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>No errors</source>
        <translation>Нет ошибок</translation>
    </message>
    <message>
        <source>F &gt; Fmax</source>
        <translation>F &gt; Fmax</translation>
    </message>
    <message>
        <source>Pulse &gt; normal</source>
        <translation>Импульсы &gt; нормы</translation>
    </message>
    <message>
        <source>Have errors</source>
        <translation>Есть ошибки</translation>
    </message>
    <message>
        <source>Q &lt; Qmin</source>
        <translation>Q &lt; Qmin</translation>
    </message>
    <message>
        <source>Q &gt; Qmax</source>
        <translation>Q &gt; Qmax</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>Питание</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>неизвестно</translation>
    </message>
    <message>
        <source>battery</source>
        <translation>батарея</translation>
    </message>
    <message>
        <source>battery charging</source>
        <translation>заряд батареи</translation>
    </message>
    <message>
        <source>no battery</source>
        <translation>нет батареи</translation>
    </message>
    <message>
        <source>battery full</source>
        <translation>батарея заряжена</translation>
    </message>
    <message>
        <source>Charge level</source>
        <translation>Уровень заряда</translation>
    </message>
    <message>
        <source>Memory card status</source>
        <translation>Состояние карты памяти</translation>
    </message>
    <message>
        <source>Free space</source>
        <translation>Свободно</translation>
    </message>
    <message>
        <source>Last archive time</source>
        <translation>Время последней записи</translation>
    </message>
    <message>
        <source>Logging interval</source>
        <translation>Интервал архивирования</translation>
    </message>
    <message>
        <source>Site</source>
        <translation>Объект</translation>
    </message>
    <message>
        <source>Battery time remains</source>
        <translation>Время работы от батареи</translation>
    </message>
    <message>
        <source>Battery time remains
(without display)</source>
        <translation>Время работы от батареи
(без дисплея)</translation>
    </message>
    <message>
        <source>dt1</source>
        <translation>dt1</translation>
    </message>
    <message>
        <source>dt2</source>
        <translation>dt2</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Низкий</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Высокий</translation>
    </message>
    <message>
        <source>KP</source>
        <translation>KP</translation>
    </message>
    <message>
        <source>Ki</source>
        <translation>Ki</translation>
    </message>
    <message>
        <source>Impulse time</source>
        <translation>Длительность импульса</translation>
    </message>
    <message>
        <source>τ</source>
        <translation>τ</translation>
    </message>
    <message>
        <source>Max. frequency</source>
        <translation>Макс. частота</translation>
    </message>
    <message>
        <source>Fmax</source>
        <translation>Fmax</translation>
    </message>
    <message>
        <source>Parameter upper limit</source>
        <translation>Верхний предел параметра</translation>
    </message>
    <message>
        <source>Qul</source>
        <translation>Qul</translation>
    </message>
    <message>
        <source>Parameter lower limit</source>
        <translation>Нижний предел параметра</translation>
    </message>
    <message>
        <source>Qll</source>
        <translation>Qll</translation>
    </message>
    <message>
        <source>Output parameter</source>
        <translation>Выходной параметр</translation>
    </message>
    <message>
        <source>Q+</source>
        <translation>Q+</translation>
    </message>
    <message>
        <source>Q-</source>
        <translation>Q-</translation>
    </message>
    <message>
        <source>|Q|</source>
        <translation>|Q|</translation>
    </message>
    <message>
        <source>|V|</source>
        <translation>|V|</translation>
    </message>
    <message>
        <source>No signal</source>
        <translation>Нет сигнала</translation>
    </message>
    <message>
        <source>Q &gt; Qup</source>
        <translation>Q &gt; Qup</translation>
    </message>
    <message>
        <source>Q &lt; Qlp</source>
        <translation>Q &lt; Qlp</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Period</source>
        <translation>Период</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Длительность</translation>
    </message>
    <message>
        <source>Mass flow rate</source>
        <translation>Массовый расход</translation>
    </message>
    <message>
        <source>G</source>
        <translation>G</translation>
    </message>
    <message>
        <source>Thermal power</source>
        <translation>Тепловая мощность</translation>
    </message>
    <message>
        <source>E</source>
        <translation>E</translation>
    </message>
    <message>
        <source>Weight accumulated</source>
        <translation>Накопленная масса</translation>
    </message>
    <message>
        <source>M+</source>
        <translation>M+</translation>
    </message>
    <message>
        <source>Heat quantity</source>
        <translation>Количество теплоты</translation>
    </message>
    <message>
        <source>W+</source>
        <translation>W+</translation>
    </message>
    <message>
        <source>Heat measurement off</source>
        <translation>Учёт тепла выключен</translation>
    </message>
    <message>
        <source>Flow rate sensor failure</source>
        <translation>Отказ датчика расхода</translation>
    </message>
    <message>
        <source>Temp. sensor #1 failure</source>
        <translation>Отказ датчика темп. №1</translation>
    </message>
    <message>
        <source>Temp. sensor #2 failure</source>
        <translation>Отказ датчика темп. №2</translation>
    </message>
    <message>
        <source>Pressure sensor failure</source>
        <translation>Отказ датчика давления</translation>
    </message>
    <message>
        <source>G &gt; Ghs</source>
        <translation>G &gt; Ghs</translation>
    </message>
    <message>
        <source>G &lt; Gls</source>
        <translation>G &lt; Gls</translation>
    </message>
    <message>
        <source>Measured current (w/o corr.)</source>
        <translation>Измеренный ток (без корр.)</translation>
    </message>
    <message>
        <source>Imeas</source>
        <translation>Imeas</translation>
    </message>
    <message>
        <source>Measured current</source>
        <translation>Измеренный ток</translation>
    </message>
    <message>
        <source>I</source>
        <translation>I</translation>
    </message>
    <message>
        <source>Pressure</source>
        <translation>Давление</translation>
    </message>
    <message>
        <source>Measured resistance (w/o corr.)</source>
        <translation>Измер. сопр. (без корр.)</translation>
    </message>
    <message>
        <source>Measured resistance</source>
        <translation>Измеренное сопротивление</translation>
    </message>
    <message>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Температура</translation>
    </message>
    <message>
        <source>Heat supply system</source>
        <translation>Теплоснабжение</translation>
    </message>
    <message>
        <source>Ghs</source>
        <translation>Ghs</translation>
    </message>
    <message>
        <source>Gls</source>
        <translation>Gls</translation>
    </message>
    <message>
        <source>Min. temperature diff.</source>
        <translation>Мин. разность температур</translation>
    </message>
    <message>
        <source>Δt</source>
        <translation>Δt</translation>
    </message>
    <message>
        <source>Pressure measuring</source>
        <translation>Измерение давления</translation>
    </message>
    <message>
        <source>Current range</source>
        <translation>Диапазон тока</translation>
    </message>
    <message>
        <source>Pressure range</source>
        <translation>Диапазон давления</translation>
    </message>
    <message>
        <source>Default value</source>
        <translation>Значение по умолчанию</translation>
    </message>
    <message>
        <source>Temperature measuring</source>
        <translation>Измерение температуры</translation>
    </message>
    <message>
        <source>RTD type</source>
        <translation>Тип ТС</translation>
    </message>
    <message>
        <source>Lower nominal temperature</source>
        <translation>Нижняя номинальная температура</translation>
    </message>
    <message>
        <source>Upper nominal temperature</source>
        <translation>Верхняя номинальная температура</translation>
    </message>
    <message>
        <source>Atmospheric pressure</source>
        <translation>Атмосферное давление</translation>
    </message>
    <message>
        <source>GPIO port expander failure</source>
        <translation>Отказ расширителя портов GPIO</translation>
    </message>
    <message>
        <source>Keyboard driver failure</source>
        <translation>Отказ драйвера клавиатуры</translation>
    </message>
    <message>
        <source>Battery controller failure</source>
        <translation>Отказ контроллера батареи</translation>
    </message>
    <message>
        <source>External EEPROM failure</source>
        <translation>Отказ внешней EEPROM</translation>
    </message>
    <message>
        <source>Embedded files failure</source>
        <translation>Отказ встроенных файлов</translation>
    </message>
    <message>
        <source>Real time clock failure</source>
        <translation>Отказ часов реального времени</translation>
    </message>
    <message>
        <source>Settings storage failure</source>
        <translation>Отказ хранилища настроек</translation>
    </message>
    <message>
        <source>Keyboard task failure</source>
        <translation>Сбой задачи клавиатуры</translation>
    </message>
    <message>
        <source>Filesystem task failure</source>
        <translation>Сбой задачи файловой системы</translation>
    </message>
    <message>
        <source>Data logger task failure</source>
        <translation>Сбой задачи архива</translation>
    </message>
    <message>
        <source>Application task failure</source>
        <translation>Сбой задачи приложения</translation>
    </message>
    <message>
        <source>Modbus RS-485 task failure</source>
        <translation>Сбой задачи Modbus RS-485</translation>
    </message>
    <message>
        <source>USB failure</source>
        <translation>Отказ USB</translation>
    </message>
    <message>
        <source>SOM interface failure</source>
        <translation>Отказ интерфейса SOM</translation>
    </message>
    <message>
        <source>AFE failure</source>
        <translation>Отказ AFE</translation>
    </message>
    <message>
        <source>Nor Flash failure</source>
        <translation>Отказ Nor Flash</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Группа</translation>
    </message>
    <message>
        <source>Subgroup</source>
        <translation>Подгруппа</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Название</translation>
    </message>
    <message>
        <source> h </source>
        <translation> ч </translation>
    </message>
    <message>
        <source> min</source>
        <translation> мин</translation>
    </message>
    <message>
        <source>(charge level is less than </source>
        <translation>(уровень заряда менее </translation>
    </message>
    <message>
        <source>Measuring</source>
        <translation>Измерение</translation>
    </message>
    <message>
        <source>Stop measure?</source>
        <translation>Остановить измерение?</translation>
    </message>
    <message>
        <source>Start measure?</source>
        <translation>Начать измерение?</translation>
    </message>
    <message>
        <source>Set zero offset dt0</source>
        <translation>Установить смещение нуля dt0</translation>
    </message>
    <message>
        <source>Adjust additional delay</source>
        <translation>Подстроить доп. задержку</translation>
    </message>
    <message>
        <source>Set additional delay</source>
        <translation>Установить доп. задержку</translation>
    </message>
    <message>
        <source>Factory reset</source>
        <translation>Сброс к заводским настройкам</translation>
    </message>
    <message>
        <source>All device settings will be overwritten with default values.
Archives will be erased.

Continue?</source>
        <translation>Все настройки прибора будут заменены значениями по умолчанию.
Архивы будут стёрты.

Продолжить?</translation>
    </message>
    <message>
        <source>Please wait...</source>
        <translation>Подождите...</translation>
    </message>
    <message>
        <source>Erase memory card</source>
        <translation>Очистить карту памяти</translation>
    </message>
    <message>
        <source>Do you want to erase the memory card?</source>
        <translation>Очистить карту памяти?</translation>
    </message>
    <message>
        <source>Erase archive</source>
        <translation>Стереть архив</translation>
    </message>
    <message>
        <source>Calculate KP</source>
        <translation>Рассчитать KP</translation>
    </message>
    <message>
        <source>Calculate KP?</source>
        <translation>Рассчитать KP?</translation>
    </message>
    <message>
        <source>Calculate Ki</source>
        <translation>Рассчитать Ki</translation>
    </message>
    <message>
        <source>Calculate Ki?</source>
        <translation>Рассчитать Ki?</translation>
    </message>
    <message>
        <source>Shut down the device</source>
        <translation>Выключить прибор</translation>
    </message>
    <message>
        <source>Do you want to shut down the device?</source>
        <translation>Выключить прибор?</translation>
    </message>
    <message>
        <source>Calibrate the touch screen</source>
        <translation>Калибровка сенсорного экрана</translation>
    </message>
    <message>
        <source>Start the touch screen calibration?</source>
        <translation>Начать калибровку сенсорного экрана?</translation>
    </message>
    <message>
        <source>Schedule start/stop</source>
        <translation>Пуск/останов по расписанию</translation>
    </message>
    <message>
        <source>Charge level is less than </source>
        <translation>Уровень заряда менее </translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Никогда</translation>
    </message>
    <message>
        <source>3 min</source>
        <translation>3 мин</translation>
    </message>
    <message>
        <source>10 min</source>
        <translation>10 мин</translation>
    </message>
    <message>
        <source>30 min</source>
        <translation>30 мин</translation>
    </message>
    <message>
        <source>RS-485</source>
        <translation>RS-485</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
</context>
<context>
    <name>DeviceRightPage</name>
    <message>
        <source>no</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>s</source>
        <translation>с</translation>
    </message>
    <message>
        <source>Archiving time:</source>
        <translation>Время архивирования:</translation>
    </message>
    <message>
        <source>Work time</source>
        <translation>Время работы</translation>
    </message>
    <message>
        <source>ES</source>
        <translation>НС</translation>
    </message>
    <message>
        <source>Qmin</source>
        <translation>Qmin</translation>
    </message>
    <message>
        <source>Qmax</source>
        <translation>Qmax</translation>
    </message>
    <message>
        <source>Gmin</source>
        <translation>Gmin</translation>
    </message>
    <message>
        <source>Gmax</source>
        <translation>Gmax</translation>
    </message>
    <message>
        <source>t1avg</source>
        <translation>t1ср</translation>
    </message>
    <message>
        <source>t2avg</source>
        <translation>t2ср</translation>
    </message>
    <message>
        <source>Pavg</source>
        <translation>Pср</translation>
    </message>
    <message>
        <source>Do you want to erase current site archives?

Global counters will be reset.</source>
        <translation>Стереть архивы текущего объекта?

Общие счётчики будут сброшены.</translation>
    </message>
    <message>
        <source>V+</source>
        <translation>V+</translation>
    </message>
    <message>
        <source>V-</source>
        <translation>V-</translation>
    </message>
    <message>
        <source>No memory card</source>
        <translation>Нет карты памяти</translation>
    </message>
    <message>
        <source>Flow rate</source>
        <translation>Расход</translation>
    </message>
    <message>
        <source>Heat</source>
        <translation>Тепло</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Экспорт</translation>
    </message>
    <message>
        <source>Charts</source>
        <translation>Графики</translation>
    </message>
    <message>
        <source>Site</source>
        <translation>Объект</translation>
    </message>
    <message>
        <source>The site changed while the question was open: nothing was erased</source>
        <translation>Объект изменился, пока был открыт вопрос: ничего не стёрто</translation>
    </message>
</context>
<context>
    <name>Dimension</name>
    <message>
        <source>Heat</source>
        <translation>Тепловая энергия</translation>
    </message>
</context>
<context>
    <name>DiscreteOutputMode</name>
    <message>
        <source>Mode</source>
        <translation>Режим</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл.</translation>
    </message>
    <message>
        <source>Logic</source>
        <translation>Логический</translation>
    </message>
    <message>
        <source>Pulse</source>
        <translation>Импульсный</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Частотный</translation>
    </message>
</context>
<context>
    <name>Documentation</name>
    <message>
        <source>Installation instructions</source>
        <translation>Инструкция по монтажу</translation>
    </message>
    <message>
        <source>Operation manual</source>
        <translation>Руководство по эксплуатации</translation>
    </message>
    <message>
        <source>Operation manual [eng]</source>
        <translation>Руководство по эксплуатации [англ.]</translation>
    </message>
    <message>
        <source>Operation manual [rus]</source>
        <translation>Руководство по эксплуатации [рус.]</translation>
    </message>
    <message>
        <source>Short User Guide</source>
        <translation>Краткое руководство пользователя</translation>
    </message>
</context>
<context>
    <name>DrawPlot</name>
    <message>
        <source>Plot</source>
        <translation>График</translation>
    </message>
</context>
<context>
    <name>EditSiteFrame</name>
    <message>
        <source>Site creating</source>
        <translation>Создание объекта</translation>
    </message>
    <message>
        <source>Site editing</source>
        <translation>Редактирование объекта</translation>
    </message>
    <message>
        <source>Copy from:</source>
        <translation>Копировать из:</translation>
    </message>
    <message>
        <source>Copy settings from other site</source>
        <translation>Копировать настройки другого объекта</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
</context>
<context>
    <name>ExportImportDialog</name>
    <message>
        <source>Saving successfully completed</source>
        <translation>Сохранение успешно завершено</translation>
    </message>
    <message>
        <source>Loading successfully completed</source>
        <translation>Загрузка успешно завершена</translation>
    </message>
    <message>
        <source>Saving configuration ...</source>
        <translation>Сохранение конфигурации ...</translation>
    </message>
    <message>
        <source>Loading configuration ...</source>
        <translation>Загрузка конфигурации ...</translation>
    </message>
    <message>
        <source>Name: </source>
        <translation>Имя: </translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Items loaded: %1</source>
        <translation>Загружено параметров: %1</translation>
    </message>
</context>
<context>
    <name>ExportImportFrame</name>
    <message>
        <source>Saving/loading configuration</source>
        <translation>Сохранение/загрузка конфигурации</translation>
    </message>
    <message>
        <source>(measuring will be temporarily suspended)</source>
        <translation>(измерения будут временно приостановлены)</translation>
    </message>
    <message>
        <source>Load configuration </source>
        <translation>Загрузить конфигурацию </translation>
    </message>
    <message>
        <source>Please, stop all adjustments before loading configuration</source>
        <translation>Остановите все калибровки перед загрузкой конфигурации</translation>
    </message>
    <message>
        <source>Save current device configuration?</source>
        <translation>Сохранить текущую конфигурацию прибора?</translation>
    </message>
    <message>
        <source>Please, stop all adjustments before saving configuration</source>
        <translation>Остановите все калибровки перед сохранением конфигурации</translation>
    </message>
    <message>
        <source>Are you sure want to delete config </source>
        <translation>Удалить конфигурацию </translation>
    </message>
    <message>
        <source>No saved configurations</source>
        <translation>Нет сохранённых конфигураций</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Загрузить</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
</context>
<context>
    <name>ExportManager</name>
    <message>
        <source>Incompatible Tavrin version</source>
        <translation>Несовместимая версия Tavrin</translation>
    </message>
    <message>
        <source>Error loading configuration</source>
        <translation>Ошибка загрузки конфигурации</translation>
    </message>
    <message>
        <source>Error saving configuration</source>
        <translation>Ошибка сохранения конфигурации</translation>
    </message>
    <message>
        <source>register %1: wrong value &quot;%2&quot;</source>
        <translation>регистр %1: неверное значение &quot;%2&quot;</translation>
    </message>
    <message>
        <source>site %1, register %2: wrong value &quot;%3&quot;</source>
        <translation>объект %1, регистр %2: неверное значение &quot;%3&quot;</translation>
    </message>
    <message>
        <source>site %1</source>
        <translation>объект %1</translation>
    </message>
    <message>
        <source>the instrument has no slot for %1</source>
        <translation>в приборе нет места для: %1</translation>
    </message>
    <message>
        <source>site %1 cannot be read</source>
        <translation>объект %1 не читается</translation>
    </message>
    <message>
        <source>the file holds no setting of this instrument</source>
        <translation>в файле нет параметров этого прибора</translation>
    </message>
    <message>
        <source>The instrument does not answer: site %1 is current, measuring is off</source>
        <translation>Прибор не отвечает: текущий объект %1, измерение остановлено</translation>
    </message>
</context>
<context>
    <name>FlagsProperty</name>
    <message>
        <source>no</source>
        <translation>нет</translation>
    </message>
</context>
<context>
    <name>Fluid type</name>
    <message>
        <source>Water</source>
        <translation>Вода</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Другая</translation>
    </message>
</context>
<context>
    <name>ForUpDownIntEdit</name>
    <message>
        <source>january</source>
        <translation>январь</translation>
    </message>
    <message>
        <source>february</source>
        <translation>февраль</translation>
    </message>
    <message>
        <source>march</source>
        <translation>март</translation>
    </message>
    <message>
        <source>april</source>
        <translation>апрель</translation>
    </message>
    <message>
        <source>may</source>
        <translation>май</translation>
    </message>
    <message>
        <source>june</source>
        <translation>июнь</translation>
    </message>
    <message>
        <source>july</source>
        <translation>июль</translation>
    </message>
    <message>
        <source>august</source>
        <translation>август</translation>
    </message>
    <message>
        <source>september</source>
        <translation>сентябрь</translation>
    </message>
    <message>
        <source>october</source>
        <translation>октябрь</translation>
    </message>
    <message>
        <source>november</source>
        <translation>ноябрь</translation>
    </message>
    <message>
        <source>december</source>
        <translation>декабрь</translation>
    </message>
</context>
<context>
    <name>FullscreenMessage</name>
    <message>
        <source>Please wait...</source>
        <translation>Подождите...</translation>
    </message>
</context>
<context>
    <name>Gain</name>
    <message>
        <source>Manual gain</source>
        <translation>Ручное усиление</translation>
    </message>
</context>
<context>
    <name>Group</name>
    <message>
        <source>Create</source>
        <translation>Создать</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
</context>
<context>
    <name>Heatsystem</name>
    <message>
        <source>Off</source>
        <translation>Выкл.</translation>
    </message>
    <message>
        <source>Opened (supply pipe)</source>
        <translation>Открытая (подающий)</translation>
    </message>
    <message>
        <source>Opened (return pipe)</source>
        <translation>Открытая (обратный)</translation>
    </message>
    <message>
        <source>Closed</source>
        <translation>Закрытая</translation>
    </message>
</context>
<context>
    <name>IndexedChannel</name>
    <message>
        <source>Temperature channel # 1</source>
        <translation>Канал температуры № 1</translation>
    </message>
    <message>
        <source>Temperature channel # 2</source>
        <translation>Канал температуры № 2</translation>
    </message>
</context>
<context>
    <name>IntervalScheduleMenuItem</name>
    <message>
        <source>Logging interval</source>
        <translation>Интервал архивирования</translation>
    </message>
</context>
<context>
    <name>IntervalSchedulePropGroup</name>
    <message>
        <source>Logging interval</source>
        <translation>Интервал архивирования</translation>
    </message>
</context>
<context>
    <name>KeypadNum</name>
    <message>
        <source>abc</source>
        <translation>абв</translation>
    </message>
</context>
<context>
    <name>Keypad_en</name>
    <message>
        <source>english</source>
        <translation>английский</translation>
    </message>
</context>
<context>
    <name>Keypad_ru</name>
    <message>
        <source>russian</source>
        <translation>русский</translation>
    </message>
</context>
<context>
    <name>LanguageProperty</name>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
</context>
<context>
    <name>LeftPage</name>
    <message>
        <source>Measurements</source>
        <translation>Измерения</translation>
    </message>
</context>
<context>
    <name>MainFrameButton</name>
    <message>
        <source>Data logger setup</source>
        <translation>Настройка архива</translation>
    </message>
</context>
<context>
    <name>MenuAtmosphericPressure</name>
    <message>
        <source>mm Hg</source>
        <translation>мм рт. ст.</translation>
    </message>
</context>
<context>
    <name>MenuContext</name>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 уже существует.
Заменить?</translation>
    </message>
</context>
<context>
    <name>MenuProps</name>
    <message>
        <source>Display off with battery</source>
        <translation>Отключение дисплея от батареи</translation>
    </message>
    <message>
        <source>Display off with adapter</source>
        <translation>Отключение дисплея от сети</translation>
    </message>
    <message>
        <source>Turn display off</source>
        <translation>Выключить дисплей</translation>
    </message>
    <message>
        <source>From</source>
        <translation>С</translation>
    </message>
    <message>
        <source>To</source>
        <translation>По</translation>
    </message>
    <message>
        <source>Flow rate</source>
        <translation>Расход</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Объём</translation>
    </message>
    <message>
        <source>Weight</source>
        <translation>Масса</translation>
    </message>
    <message>
        <source>Mass flow rate</source>
        <translation>Массовый расход</translation>
    </message>
    <message>
        <source>Thermal power</source>
        <translation>Тепловая мощность</translation>
    </message>
    <message>
        <source>Menu language</source>
        <translation>Язык меню</translation>
    </message>
    <message>
        <source>Connection type</source>
        <translation>Тип подключения</translation>
    </message>
    <message>
        <source>COM port</source>
        <translation>COM-порт</translation>
    </message>
    <message>
        <source>Read timeout</source>
        <translation>Тайм-аут чтения</translation>
    </message>
    <message>
        <source>Control RTS</source>
        <translation>Управление RTS</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Устройство</translation>
    </message>
</context>
<context>
    <name>MessageBoxDialog</name>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
</context>
<context>
    <name>Modbus</name>
    <message>
        <source>ModBus mode</source>
        <translation>Режим ModBus</translation>
    </message>
</context>
<context>
    <name>OnFlowZeroAdjustment</name>
    <message>
        <source>Next</source>
        <translation>Далее</translation>
    </message>
</context>
<context>
    <name>PowerManager</name>
    <message>
        <source>can&apos;t open file &apos;%1&apos;: %2</source>
        <translation>не удаётся открыть файл &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>can&apos;t write to file &apos;%1&apos;: %2</source>
        <translation>не удаётся записать в файл &apos;%1&apos;: %2</translation>
    </message>
</context>
<context>
    <name>Pressure status</name>
    <message>
        <source>Off</source>
        <translation>Выкл.</translation>
    </message>
    <message>
        <source>No errors</source>
        <translation>Нет ошибок</translation>
    </message>
    <message>
        <source>I &lt; Imin</source>
        <translation>I &lt; Imin</translation>
    </message>
    <message>
        <source>I &gt; Imax</source>
        <translation>I &gt; Imax</translation>
    </message>
    <message>
        <source>Fault</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>P &lt; Pmin</source>
        <translation>P &lt; Pmin</translation>
    </message>
    <message>
        <source>P &gt; Pmax</source>
        <translation>P &gt; Pmax</translation>
    </message>
</context>
<context>
    <name>ProbeVoltage</name>
    <message>
        <source>Low</source>
        <translation>Низкое</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Высокое</translation>
    </message>
</context>
<context>
    <name>RightPage</name>
    <message>
        <source>Archives</source>
        <translation>Архивы</translation>
    </message>
</context>
<context>
    <name>RunningText</name>
    <message>
        <source>Message</source>
        <translation>Сообщение</translation>
    </message>
</context>
<context>
    <name>Schedule</name>
    <message>
        <source>Off</source>
        <translation>Выкл.</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Активно</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Выполнено</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Режим</translation>
    </message>
    <message>
        <source>Start time</source>
        <translation>Время начала</translation>
    </message>
    <message>
        <source>End time</source>
        <translation>Время окончания</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Включено</translation>
    </message>
    <message>
        <source>no</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>да</translation>
    </message>
</context>
<context>
    <name>ScheduleMode</name>
    <message>
        <source>Periodic</source>
        <translation>Периодический</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>Интервальный</translation>
    </message>
</context>
<context>
    <name>ScheduleSettingsFrame</name>
    <message>
        <source>Run the scheduler?</source>
        <translation>Запустить планировщик?</translation>
    </message>
    <message>
        <source>Stop the scheduler?</source>
        <translation>Остановить планировщик?</translation>
    </message>
    <message>
        <source>Scheduled job completed</source>
        <translation>Задание планировщика выполнено</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Пуск</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
</context>
<context>
    <name>SeaBattle</name>
    <message>
        <source>Sea battle</source>
        <translation>Морской бой</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Авто</translation>
    </message>
    <message>
        <source>Begin</source>
        <translation>Начать</translation>
    </message>
    <message>
        <source>New game</source>
        <translation>Новая игра</translation>
    </message>
    <message>
        <source>Please arrange ships, sir</source>
        <translation>Расставьте корабли, сэр</translation>
    </message>
    <message>
        <source>Ships are ready, sir</source>
        <translation>Корабли готовы, сэр</translation>
    </message>
    <message>
        <source>Your shoot, sir</source>
        <translation>Ваш выстрел, сэр</translation>
    </message>
    <message>
        <source>Opponent shoots...</source>
        <translation>Противник стреляет...</translation>
    </message>
    <message>
        <source>You win, sir</source>
        <translation>Вы победили, сэр</translation>
    </message>
    <message>
        <source>You loose, sir</source>
        <translation>Вы проиграли, сэр</translation>
    </message>
</context>
<context>
    <name>SettingZeroFlowPointFrame</name>
    <message>
        <source>Place the sensor 2 upstream, the sensor 1 downstream and press </source>
        <translation>Установите датчик 2 выше по потоку, датчик 1 ниже по потоку и нажмите </translation>
    </message>
    <message>
        <source>Now place the sensor 1 upstream, the sensor 2 downstream (note that the speed of sound should be equal to </source>
        <translation>Теперь установите датчик 1 выше по потоку, датчик 2 ниже по потоку (скорость звука должна быть равна </translation>
    </message>
    <message>
        <source>) and press </source>
        <translation>) и нажмите </translation>
    </message>
    <message>
        <source>Press </source>
        <translation>Нажмите </translation>
    </message>
    <message>
        <source> to save calculated dt0 and return to menu.</source>
        <translation> для сохранения вычисленного dt0 и возврата в меню.</translation>
    </message>
    <message>
        <source>To continue, press </source>
        <translation>Для продолжения нажмите </translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Пуск</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Measuring, please wait...</source>
        <translation>Идёт измерение, подождите...</translation>
    </message>
    <message>
        <source>The device did not take the step of the calibration.</source>
        <translation>Прибор не принял шаг калибровки.</translation>
    </message>
</context>
<context>
    <name>Short</name>
    <message>
        <source>Time without meas.</source>
        <translation>Время без изм.</translation>
    </message>
</context>
<context>
    <name>Signal</name>
    <message>
        <source>Forward</source>
        <translation>Прямой</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>Обратный</translation>
    </message>
</context>
<context>
    <name>SignalsDialog</name>
    <message>
        <source>Signals</source>
        <translation>Сигналы</translation>
    </message>
    <message>
        <source>Saving signal data</source>
        <translation>Сохранение данных сигналов</translation>
    </message>
    <message>
        <source>Measurements turned off</source>
        <translation>Измерения выключены</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Cannot write the signal data to %1</source>
        <translation>Не удаётся записать данные сигналов в %1</translation>
    </message>
</context>
<context>
    <name>SitesFrame</name>
    <message>
        <source>Sites editing</source>
        <translation>Редактирование объектов</translation>
    </message>
    <message>
        <source>Site selection</source>
        <translation>Выбор объекта</translation>
    </message>
    <message>
        <source>To delete site </source>
        <translation>Для удаления объекта </translation>
    </message>
    <message>
        <source> you should stop measuring before</source>
        <translation> необходимо сначала остановить измерения</translation>
    </message>
    <message>
        <source> you should stop scheduler before</source>
        <translation> необходимо сначала остановить планировщик</translation>
    </message>
    <message>
        <source>Are you sure want to delete site </source>
        <translation>Удалить объект </translation>
    </message>
    <message>
        <source> ?</source>
        <translation> ?</translation>
    </message>
    <message>
        <source>Are you sure want to delete group </source>
        <translation>Удалить группу </translation>
    </message>
    <message>
        <source>?

(</source>
        <translation>?

(</translation>
    </message>
    <message>
        <source>sites will be deleted: </source>
        <translation>будет удалено объектов: </translation>
    </message>
    <message>
        <source> sites will be deleted)</source>
        <translation> объект(ов) будет удалено)</translation>
    </message>
    <message>
        <source>Updating sites list...</source>
        <translation>Обновление списка объектов...</translation>
    </message>
    <message>
        <source>The sites list changed while the question was open: nothing was deleted</source>
        <translation>Список объектов изменился, пока был открыт вопрос: ничего не удалено</translation>
    </message>
    <message>
        <source>The device did not take the deletion of %1: no settings were reset and no archive was erased</source>
        <translation>Прибор не принял удаление %1: настройки не сброшены, архив не стёрт</translation>
    </message>
</context>
<context>
    <name>SitesToExport</name>
    <message>
        <source>from</source>
        <translation>из</translation>
    </message>
</context>
<context>
    <name>SitesTreeDialog</name>
    <message>
        <source>Choose sites</source>
        <translation>Выбор объектов</translation>
    </message>
    <message>
        <source>Choosed</source>
        <translation>Выбрано</translation>
    </message>
</context>
<context>
    <name>Starter</name>
    <message>
        <source>Cannot open %1</source>
        <translation>Не удалось открыть %1</translation>
    </message>
</context>
<context>
    <name>Temperature status</name>
    <message>
        <source>Off</source>
        <translation>Выкл.</translation>
    </message>
    <message>
        <source>No errors</source>
        <translation>Нет ошибок</translation>
    </message>
    <message>
        <source>R &lt; Rmin</source>
        <translation>R &lt; Rmin</translation>
    </message>
    <message>
        <source>R &gt; Rmax</source>
        <translation>R &gt; Rmax</translation>
    </message>
    <message>
        <source>Fault</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>t &lt; tmin</source>
        <translation>t &lt; tmin</translation>
    </message>
    <message>
        <source>t &gt; tmax</source>
        <translation>t &gt; tmax</translation>
    </message>
</context>
<context>
    <name>TextEditor</name>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
</context>
<context>
    <name>ToggleCommandProperty</name>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
</context>
<context>
    <name>TopPanel</name>
    <message>
        <source>No connection with the device</source>
        <translation>Нет связи с прибором</translation>
    </message>
</context>
<context>
    <name>TouchScreenCalibrator</name>
    <message>
        <source>Calibration sucessfully completed</source>
        <translation>Калибровка успешно завершена</translation>
    </message>
    <message>
        <source>Touch screen calibration</source>
        <translation>Калибровка сенсорного экрана</translation>
    </message>
    <message>
        <source>Calibration failed, please touch the marks again</source>
        <translation>Калибровка не удалась, коснитесь меток ещё раз</translation>
    </message>
    <message>
        <source>Please, touch the mark</source>
        <translation>Коснитесь метки</translation>
    </message>
</context>
<context>
    <name>UniOut</name>
    <message>
        <source>Active state</source>
        <translation>Активное состояние</translation>
    </message>
    <message>
        <source>Output parameter</source>
        <translation>Выходной параметр</translation>
    </message>
</context>
<context>
    <name>UsbConnection</name>
    <message>
        <source>disconnected</source>
        <translation>отключено</translation>
    </message>
    <message>
        <source>connected</source>
        <translation>подключено</translation>
    </message>
</context>
<context>
    <name>VLog</name>
    <message>
        <source>Message handler is also exists. Someone else handles application messages.</source>
        <translation>Обработчик сообщений уже установлен. Сообщения приложения обрабатывает кто-то другой.</translation>
    </message>
</context>
</TS>
