<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>MyMessage</name>
    <message>
        <source>sVervion</source>
        <translation>تحديثات</translation>
    </message>
    <message>
        <source>Message sVervion Update</source>
        <translation>توجد تحديثات جديدة في البرنامج يجب تحميلها هل تريد تحميلها الآن؟
النسخة الحالية هي : 1.0.0
النسخة المتوفرة في الموقع هي : 1.0.1</translation>
    </message>
    <message>
        <source>sVervion2</source>
        <translation>تحديثات في برنامج الاختبار</translation>
    </message>
    <message>
        <source>Message sVervion Update2</source>
        <translation>توجد تحديثات جديدة في برنامج الاختبار يجب تحميلها هل تريد تحميلها الآن؟
النسخة الحالية هي : 1.0.0
النسخة المتوفرة في الموقع هي : 1.0.1</translation>
    </message>
    <message>
        <source>MsgNoImtihan</source>
        <translation>لا يمكن التحديث يجب عليك إغلاق برنامج الاختبار   </translation>
    </message>
    <message>
        <source>Updater not started</source>
        <translation>تعذر تشغيل برنامج التحديث</translation>
    </message>
</context>
</TS>
