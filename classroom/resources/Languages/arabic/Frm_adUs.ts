<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>Frm_adUs</name>
    <message>
        <source>إضافة كمشرف للغرفة المحددة</source>
        <translation>إضافة مشرف للغرفة المعلم عليها</translation>
    </message>
    <message>
        <source>list roots</source>
        <translation>قائمة المدراء والحراس</translation>
    </message>
    <message>
        <source>add root</source>
        <translation>إضافة مدير أو حارس عام</translation>
    </message>
    <message>
        <source>delete root</source>
        <translation>حذف المدير المحدد</translation>
    </message>
    <message>
        <source>save Permissions on root</source>
        <translation>حفظ الصلاحيات للمدير المحدد</translation>
    </message>
    <message>
        <source>Permissions roots</source>
        <translation>صلاحيات المدراء والحراس العامين</translation>
    </message>
    <message>
        <source> البث المرئي</source>
        <translation>البث المرئي داخل الغرف</translation>
    </message>
</context>
</TS>
