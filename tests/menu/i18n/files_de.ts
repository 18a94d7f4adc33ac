<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>VFilesModel</name>
    <message>
        <source>manual.pdf</source>
        <translation>Handbuch.pdf</translation>
    </message>
    <message>
        <source>manual</source>
        <translation>Handbuch</translation>
    </message>
    <message>
        <source>Руководство.pdf</source>
        <translation>Anleitung.pdf</translation>
    </message>
</context>
</TS>
