#include "script/DemoScript.h"

// Stored in code page 936 (GBK), as the original demonstration text was kept.
static const char kDemoGbk[] =
    "function MyObj(men1,men2,men3)\r\n"
    "{\r\n"
    "this.men1=men1;//\xca\xf4\xd0\xd4\r\n"
    "this.men2=men2;//\xca\xf4\xd0\xd4\r\n"
    "this.men3=men3;//\xca\xf4\xd0\xd4\r\n"
    "this.all=fuckall;//\xb7\xbd\xb7\xa8\r\n"
    "}\r\n"
    "function fuckall ()\r\n"
    "{\r\n"
    "return this.men1+String(this.men2)+this.men3;\r\n"
    "}\r\n"
    "function OX(what,time,temp)//\xb7\xb5\xbb\xd8\xd7\xd4\xb6\xa8\xd2\xe5\xb6\xd4\xcf\xf3\r\n"
    "{\r\n"
    "var sb=new MyObj(what,time,temp);\r\n"
    "return sb;\r\n"
    "}\r\n"
    "function OXOX(what,time,temp)//\xb5\xf7\xd3\xc3\xd7\xd4\xb6\xa8\xd2\xe5\xb6\xd4\xcf\xf3\r\n"
    "{\r\n"
    "var sb=new MyObj(what,time,temp);\r\n"
    "return sb.all();\r\n"
    "}//JS\xd7\xd4\xb6\xa8\xd2\xe5\xb6\xd4\xcf\xf3\xd1\xda\xd1\xdd\xca\xbe";

QByteArray demoScriptGbk() {
    return QByteArray(kDemoGbk, sizeof kDemoGbk - 1);
}
