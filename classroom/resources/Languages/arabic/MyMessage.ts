<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>MyMessage</name>
    <message>
        <source>Title App</source>
        <translation>الفلمور العلمية</translation>
    </message>
    <message>
        <source>message</source>
        <translation>رسالة</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>موافق</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>نعم</translation>
    </message>
    <message>
        <source>No</source>
        <translation>لا</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>إلغاء الأمر</translation>
    </message>
    <message>
        <source>NoConnect</source>
        <translation>فشل الاتصال الرجاء التأكد من خط الإنترنيت أو ربما يوجد مشكل الخادم</translation>
    </message>
    <message>
        <source>no connection</source>
        <translation>لقد انقطع الاتصال بينك وبين الخادم قد تكون الأسباب :
 لضعف صبيب النت عندك
 أو لعدم استجابة الخادم
 أعد الاتصال مجددا</translation>
    </message>
    <message>
        <source>MsgErrUsrPwd</source>
        <translation>خطأ في اسم المستخدم أو كلمة المرور
حاول مرة أخرى</translation>
    </message>
    <message>
        <source>MsgBan</source>
        <translation>لا يمكنك الدخول تم وضعك في قائمة الحظر
يمكن الاتصال بالمسؤول لمعرفة السبب</translation>
    </message>
    <message>
        <source>MsgBanRoom</source>
        <translation>لا يمكنك الدخول للغرفة تم وضعك في البان
يمكن الاتصال بالمسؤول عن الغرفة لمعرفة السبب</translation>
    </message>
    <message>
        <source>MsgErr</source>
        <translation>حدث خلل ما
الرجاء الاتصال بالمسؤول وإخباره بالخطأ</translation>
    </message>
    <message>
        <source>MsgRec</source>
        <translation>تم تسجيل الدخول بهذا الإسم من طرف شخص أخر
إن كان لا أحد يدخل بهذا الاسم غيرك
يرجى تغيير كلمة المرور</translation>
    </message>
    <message>
        <source>MsgzowarRoom</source>
        <translation>لا يسمح للزوار بدخول لهذه الغرفة</translation>
    </message>
    <message>
        <source>Err No Admin</source>
        <translation>لا يمكنك الدخول لست مشرفا ضمن القائمة</translation>
    </message>
    <message>
        <source>Err Pass Admin</source>
        <translation>كلمة السر الخاصة بالمشرف خاطئة</translation>
    </message>
    <message>
        <source>Err Pass Login</source>
        <translation>كلمة السر الخاصة بالدخول خاطئة</translation>
    </message>
    <message>
        <source>Err No Admin System</source>
        <translation>ليس لديك الصلاحيات الكافية للقيام بهذه المهمة</translation>
    </message>
    <message>
        <source>User Lock PM</source>
        <translation>لا يمكنك مراسلة هذا الشخص لأنه لا يستقبل الرسائل الخاصة إلا من الأشخاص الموجودين في قائمته</translation>
    </message>
    <message>
        <source>No Msg PM</source>
        <translation>لم تصل رسالتك لأن هذا الشخص غير متصل الآن</translation>
    </message>
    <message>
        <source>No User Search</source>
        <translation>لا يوجد أي شخص بهذا الإسم</translation>
    </message>
    <message>
        <source>block user</source>
        <translation>لقد تم حظر هذا الشخص</translation>
    </message>
    <message>
        <source>Unblock user</source>
        <translation>لقد تم رفع الحظر عن هذا الشخص</translation>
    </message>
    <message>
        <source>Add User On List ?</source>
        <translation>هل تريد إضافة هذا الشخص للقائمة ؟</translation>
    </message>
    <message>
        <source>No Add Me !</source>
        <translation>لا يمكنك إضافة نفسك</translation>
    </message>
    <message>
        <source>search word is too short</source>
        <translation>عبارة البحث قصيرة</translation>
    </message>
    <message>
        <source>User Deja list</source>
        <translation>اسم العضو موجود عندك في القائمة فلا داعي لإضافته</translation>
    </message>
    <message>
        <source>Sorry No Send text Red</source>
        <translation>نأسف , لا يمكنك إرسال النص لأنك محضور من الكتابة</translation>
    </message>
    <message>
        <source>start Sabora</source>
        <translation>فتح السبورة</translation>
    </message>
    <message>
        <source>stop Sabora</source>
        <translation>إغلاق السبورة</translation>
    </message>
    <message>
        <source>start Stream</source>
        <translation>استقبال البث</translation>
    </message>
    <message>
        <source>stop Stream</source>
        <translation>إيقاف البث</translation>
    </message>
    <message>
        <source>No Choix Group Room</source>
        <translation>لم تقم بتسمية الحلقة الجديدة حاول مرة أخرى</translation>
    </message>
    <message>
        <source>No Choix Room</source>
        <translation>لم تقم بتسمية الحلقة الجديدة حاول مرة أخرى</translation>
    </message>
    <message>
        <source>No Choix Group</source>
        <translation>لم تقم باختيار القسم</translation>
    </message>
    <message>
        <source>Room deja</source>
        <translation>لم يتم إنشاء الغرفة الأنه توجد غرفة بنفس الاسم</translation>
    </message>
    <message>
        <source>No Owner</source>
        <translation>لم يتم تعديل بيانات الغرفة لأن المسؤول الذي عينته غير موجود</translation>
    </message>
    <message>
        <source>New Room</source>
        <translation>لقد تم إنشاء الغرفة بنجاح</translation>
    </message>
    <message>
        <source>Edit Room</source>
        <translation>لقد تم تعديل الغرفة بنجاح</translation>
    </message>
    <message>
        <source>Del Room</source>
        <translation>لقد تم حذف الغرفة بنجاح</translation>
    </message>
    <message>
        <source>Move Room</source>
        <translation>لقد تم نقل الغرفة بنجاح</translation>
    </message>
    <message>
        <source>Group Deja</source>
        <translation>هذا القسم موجود مسبقا</translation>
    </message>
    <message>
        <source>No Del Group</source>
        <translation>هذا القسم ضروري لا يمكن حذفه</translation>
    </message>
    <message>
        <source>New Group</source>
        <translation>لقد تم إنشاء القسم الجديد بنجاح</translation>
    </message>
    <message>
        <source>Edit Group</source>
        <translation>لقد تم تعديل القسم بنجاح</translation>
    </message>
    <message>
        <source>Del Group</source>
        <translation>لقد تم حذف القسم بنجاح</translation>
    </message>
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
        <source>Start Imtihan</source>
        <translation>بدء الاختبار</translation>
    </message>
    <message>
        <source>msg start imtihan ?</source>
        <translation>"لقد بدء الامتحان الان هل تريد فتح برنامج الاختبار ؟</translation>
    </message>
    <message>
        <source>Zair Imtihan</source>
        <translation>تنبيه</translation>
    </message>
    <message>
        <source>msg Information zair start imtihan ?</source>
        <translation>الرجاء إن كنت طالب في المعهد أن تدخل بالعضوية
 لأنه لديك اليوم اختبار</translation>
    </message>
    <message>
        <source>Imtihan not started</source>
        <translation>تعذر تشغيل برنامج الاختبار</translation>
    </message>
    <message>
        <source>No Separator Char</source>
        <translation>لا يمكن استعمال الرمزين | و : في الأسماء وكلمات المرور</translation>
    </message>
    <message>
        <source>Updater not started</source>
        <translation>تعذر تشغيل برنامج التحديث</translation>
    </message>
    <message>
        <source>Microphone not started</source>
        <translation>تعذر تشغيل اللاقط، تأكد من جهاز الصوت</translation>
    </message>
    <message>
        <source>Browser not started</source>
        <translation>تعذر تشغيل المتصفح لفتح الرابط</translation>
    </message>
    <message>
        <source>Recording not started</source>
        <translation>تعذر إنشاء ملف تسجيل المحاضرة</translation>
    </message>
</context>
</TS>
