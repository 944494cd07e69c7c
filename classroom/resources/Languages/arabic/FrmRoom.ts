<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>FrmRoom</name>
    <message>
        <source>Pm</source>
        <translation>إرسال رسالة</translation>
    </message>
    <message>
        <source>Send File</source>
        <translation>إرسال ملف</translation>
    </message>
    <message>
        <source>Add User</source>
        <translation>إضافة الشخص للقائمة</translation>
    </message>
    <message>
        <source>Whisbar</source>
        <translation>إرسال رسالة مخفية</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>نقطة حمراء ، منع الكتابة والاقط</translation>
    </message>
    <message>
        <source>UnRed</source>
        <translation>إزالة النقطة الحمراء</translation>
    </message>
    <message>
        <source>On Mic</source>
        <translation>السماح باستخدام اللاقط</translation>
    </message>
    <message>
        <source>off Mic</source>
        <translation>منع استخدام اللاقط</translation>
    </message>
    <message>
        <source>Ban</source>
        <translation>الطرد المؤقت</translation>
    </message>
    <message>
        <source>bannec</source>
        <translation>الطرد النهائي</translation>
    </message>
    <message>
        <source>messages Wisbar</source>
        <translation>الرسائل المخفية</translation>
    </message>
    <message>
        <source>Enter Wisbar :</source>
        <translation>أدخل نص الرسالة المخفية :</translation>
    </message>
    <message>
        <source>wav</source>
        <translation>استقبال الصوت من اللاقط</translation>
    </message>
    <message>
        <source>no wav</source>
        <translation>استقبال الصوت من اللاقط متوقف</translation>
    </message>
    <message>
        <source>radio</source>
        <translation>البث الإذاعي شغال</translation>
    </message>
    <message>
        <source>no radio</source>
        <translation>البث الإذاعي متوقف</translation>
    </message>
    <message>
        <source>Live Audio</source>
        <translation>البث صوتي</translation>
    </message>
    <message>
        <source>Live Video</source>
        <translation>البث المرئي</translation>
    </message>
    <message>
        <source>B_bat</source>
        <translation>البث المرئي</translation>
    </message>
    <message>
        <source>PushButton</source>
        <translation>فتح السبورة</translation>
    </message>
    <message>
        <source>act steam</source>
        <translation>استقبال البث</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>فتح المجلد</translation>
    </message>
    <message>
        <source>MainWindow</source>
        <translation></translation>
    </message>
</context>
</TS>
