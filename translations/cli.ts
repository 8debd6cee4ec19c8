<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>--langue ne connaît que « fr » et « en ».</source>
        <translation>--langue knows only "fr" and "en".</translation>
    </message>
</context>
</TS>
