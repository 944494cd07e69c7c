<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>ControlTxt</name>
    <message>
        <source>:audio:</source>
        <translation>:صوت:</translation>
    </message>
    <message>
        <source>:o:</source>
        <translation>:ت:</translation>
    </message>
    <message>
        <source>:msg:</source>
        <translation>:رسالة:</translation>
    </message>
    <message>
        <source>:g:</source>
        <translation>:ة:</translation>
    </message>
    <message>
        <source>:flash:</source>
        <translation>:وميض:</translation>
    </message>
    <message>
        <source>:h:</source>
        <translation>:ض:</translation>
    </message>
    <message>
        <source>:link:</source>
        <translation>:رابط:</translation>
    </message>
    <message>
        <source>:txt:</source>
        <translation>:نص:</translation>
    </message>
    <message>
        <source>:k:</source>
        <translation>:ط:</translation>
    </message>
    <message>
        <source>:titre:</source>
        <translation>:عنوان:</translation>
    </message>
    <message>
        <source>:e:</source>
        <translation>:ن:</translation>
    </message>
    <message>
        <source>:image:</source>
        <translation>:صورة:</translation>
    </message>
    <message>
        <source>:fin:</source>
        <translation>:نه:</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>عريض</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>مائل</translation>
    </message>
    <message>
        <source>Underline</source>
        <translation>مسطر</translation>
    </message>
    <message>
        <source>Size1</source>
        <translation>حجم صغير</translation>
    </message>
    <message>
        <source>Size2</source>
        <translation>حجم متوسط</translation>
    </message>
    <message>
        <source>Size3</source>
        <translation>حجم كبير</translation>
    </message>
    <message>
        <source>Foreground</source>
        <translation>لون الخط</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>لون الخلفية</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>المشرف</translation>
    </message>
    <message>
        <source>sendTxt</source>
        <translation>إرسال</translation>
    </message>
    <message>
        <source>copy</source>
        <translation>نسخ</translation>
    </message>
    <message>
        <source>cut</source>
        <translation>قص</translation>
    </message>
    <message>
        <source>paste</source>
        <translation>لصق</translation>
    </message>
    <message>
        <source>save</source>
        <translation>حفظ المحادثة</translation>
    </message>
    <message>
        <source>del text</source>
        <translation>مسح المحادثة</translation>
    </message>
    <message>
        <source>stop text</source>
        <translation>إيقاف التمرير</translation>
    </message>
    <message>
        <source>save file</source>
        <translation>حفظ الملف</translation>
    </message>
    <message>
        <source>Start Wisbar</source>
        <translation>بداية الرسالة المخفية</translation>
    </message>
    <message>
        <source>End Wisbar</source>
        <translation>نهاية الرسالة المخفية</translation>
    </message>
    <message>
        <source>Send Wisbar</source>
        <translation>تم إرسال الرسالة المخفية</translation>
    </message>
    <message>
        <source>Not delivered</source>
        <translation>لم تصل</translation>
    </message>
    <message>
        <source>The conversation could not be saved:</source>
        <translation>تعذر حفظ المحادثة :</translation>
    </message>
    <message>
        <source>[Message too long, the rest was cut]</source>
        <translation>[الرسالة طويلة جدا، تم قطع الباقي]</translation>
    </message>
</context>
</TS>
