// The deobfuscator on small inputs (each layer, and its no-op case), its guards (the
// sandbox, the time limit, "停止", the parse check, the size limit), and the proof over
// every fixture: the peeled code, run in a fresh engine, logs what the original logs.

#include "../support/LoggedRun.h"
#include "../support/StopAtOnce.h"

#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "script/ScriptEngine.h"
#include "script/ScriptHost.h"
#include "tools/DeobfuscateScript.h"
#include "tools/FormatScript.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {
QStringList peeledLayers(const DeobResult& r) {
    QStringList out;
    for (const DeobStage& s : r.history)
        if (s.peeled)
            out << s.layer;
    return out;
}

const DeobStage* skipped(const DeobResult& r, const QString& layer) {
    for (const DeobStage& s : r.history)
        if (!s.peeled && s.layer == layer)
            return &s;
    return nullptr;
}

DeobResult peel(const QString& code, bool rename = false) {
    DeobOptions options;
    options.rename = rename;
    options.sandboxSeconds = 2.0;
    return DeobfuscateScript(code, options);
}

// A page's setInterval is there too (it never fires here): debug protection starts one.
QString runLogged(const QString& code) {
    return runLogged(code, QStringLiteral("function setInterval() { return 0; }"));
}
} // namespace

TEST(DeobLayers, CodeWithoutLayersComesBackUnchanged) {
    const QString plain = QStringLiteral("function add(a, b) {\n  return a + b;\n}\n"
                                         "var s = 'x' + add(1, 2);\n");
    const DeobResult r = peel(plain, true);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.code, plain);
    EXPECT_TRUE(r.history.isEmpty());
}

TEST(DeobLayers, CarriedUnpackersRunFirst) {
    // %-escaped: no space anywhere, %20 inside.
    DeobResult r = peel(QStringLiteral("var%20a=1;log(a)"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(peeledLayers(r), QStringList{QStringLiteral("%转义")});
    EXPECT_EQ(r.code, QStringLiteral("var a=1;log(a)"));
    // Packed code: the packer's decoder runs in the sandbox, the payload comes back.
    const QString packed = QStringLiteral("eval(function(p,a,c,k,e,d){while(c--)if(k[c])p=p."
                                          "replace(new RegExp('\\\\b'+c+'\\\\b','g'),k[c]);"
                                          "return p}('0(\"1\")',2,2,'log|hi'.split('|'),0,{}))");
    r = peel(packed);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.code, QStringLiteral("log(\"hi\")"));
    ASSERT_EQ(r.history.size(), 1);
    EXPECT_EQ(r.history[0].bytesBefore, packed.toUtf8().size());
    EXPECT_EQ(r.history[0].bytesAfter, 9);
    EXPECT_EQ(r.history[0].code, r.code);
    // A script that merely starts with an array of that name is not a string table (the
    // obfuscator with renamed globals leaves such a start once its table is gone).
    const QString array =
        QStringLiteral("var _0x4c56d3 = [];\n_0x4c56d3.push(3);\nlog(_0x4c56d3.length);");
    r = peel(array);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.code, array);
    EXPECT_EQ(runLogged(r.code), QStringLiteral("1"));
}

TEST(DeobLayers, EvalFunctionAndDocumentWriteWrappers) {
    DeobResult r = peel(QStringLiteral("var p = ['lo', 'g(1)']; eval(p.join(''));"));
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.code.contains(QStringLiteral("log(1);"))) << r.code.toStdString();
    EXPECT_FALSE(r.code.contains(QStringLiteral("eval")));
    r = peel(QStringLiteral("Function(String.fromCharCode(108,111,103,40,50,41))();"));
    EXPECT_EQ(r.code.trimmed(), QStringLiteral("log(2);"));
    r = peel(QStringLiteral("document.write(unescape('%3Cscript%3Elog(3)%3C/script%3E'));"));
    EXPECT_EQ(r.code.trimmed(), QStringLiteral("log(3);"));
    // Plain HTML written out is no script: left alone.
    r = peel(QStringLiteral("document.write('<b>' + 'x</b>');"));
    EXPECT_FALSE(peeledLayers(r).contains(QStringLiteral("eval/Function/document.write 包装")));
    EXPECT_TRUE(r.code.contains(QStringLiteral("document.write")));

    // Base64 payloads through the page's atob (UTF-8 text through escape as pages do;
    // white space and missing padding are forgiven as browsers forgive them).
    r = peel(QStringLiteral("eval(atob('bG9n KCdoaScp\\n'));"));
    EXPECT_EQ(r.code.trimmed(), QStringLiteral("log('hi');"));
    r = peel(QStringLiteral("Function(decodeURIComponent(escape(atob('bG9nKCfkvaDlpb0nKQ'))))();"));
    EXPECT_EQ(r.code.trimmed(), QStringLiteral("log('你好');"));
    r = peel(QStringLiteral("eval(atob(btoa('log(\"\\xff\\x00=\")')));"));
    // Every byte value goes through unchanged.
    EXPECT_EQ(r.code.trimmed(),
              QStringLiteral("log(\"\u00ff") + QChar(0) + QStringLiteral("=\");"));
    // A direct eval in an immediately called function: its text takes its place there.
    // let and const keep a block of their own, as eval gives them; Function code runs at
    // the top, so it becomes a function only because nothing there hides the names it uses.
    const QString nested = QStringLiteral(
        "var x = 1; (function(){ var s = ['let x = 2;', 'log(x)']; eval(s.join(' ')); log(x); })();"
        "!function(){ Function('lo' + 'g(3)')(); }();");
    r = peel(nested);
    EXPECT_TRUE(r.code.contains(QStringLiteral("{\n    let x = 2;\n    log(x);\n  }\n  log(x);")))
        << r.code.toStdString();
    EXPECT_TRUE(r.code.contains(QStringLiteral("(function () {\n    log(3);\n  })();")))
        << r.code.toStdString();
    EXPECT_EQ(runLogged(r.code), runLogged(nested));
    EXPECT_EQ(runLogged(r.code), QStringLiteral("2\n1\n3"));
    // Not base64: atob throws as in a browser, and nothing is peeled.
    const QString invalid = QStringLiteral("eval(atob('b!Q='));");
    r = peel(invalid);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.code, invalid);
}

TEST(DeobLayers, StringArrayWithRotationDecoderAndWrappers) {
    // The array is rotated by one before use; the decoder subtracts an offset; a wrapper
    // and an alias stand between the calls and the decoder.
    const QString code = QStringLiteral(
        "function arr(){var a=['world','hello','中文'];arr=function(){return a;};return arr();}"
        "(function(f){var a=f();a.push(a.shift());})(arr);"
        "function dec(i){i=i-0x10;var a=arr();return a[i];}"
        "function wrap(x,y){return dec(y- -0x5);}"
        "var alias=dec;"
        "log(dec(0x10)+' '+wrap(0,0xc)+alias(-0x1*0x2+0x14));");
    const DeobResult r = peel(code);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(peeledLayers(r).first(), QStringLiteral("字符串数组"));
    // Rotated by one: hello, 中文, world.
    EXPECT_TRUE(r.code.contains(QStringLiteral("log(\"hello 中文world\")")))
        << r.code.toStdString();
    EXPECT_FALSE(r.code.contains(QStringLiteral("arr"))) << r.code.toStdString();
    EXPECT_FALSE(r.code.contains(QStringLiteral("dec")));
    EXPECT_EQ(runLogged(r.code), runLogged(code));
    // An array nothing decodes stays.
    const QString data = QStringLiteral("var names = ['a', 'b'];\nlog(names[0]);\n");
    EXPECT_EQ(peel(data).code, data);
}

TEST(DeobLayers, ProxiesConstantsDeadBranchesFlowAndSequences) {
    const QString code = QStringLiteral(
        "function f(x){var p={'aB':function(a,b){return a+b;},'cD':'lit','eF':function(g,h){return "
        "g(h);}};"
        "var o='2|0|1'['split']('|'),i=0x0;while(!![]){switch(o[i++]){"
        "case'0':var y=p['aB'](x,0x2);continue;case'1':return p['eF'](String,y)+p['cD'];"
        "case'2':if('abc'==='abd'){x=-1;}else{x=x*0x3;}continue;}break;}}"
        "log(f(1)),log(\"\\x68\\u0069\"+(!![]+[]).length+void 0);");
    const DeobResult r = peel(code);
    ASSERT_TRUE(r.ok);
    const QStringList layers = peeledLayers(r);
    for (const char* name : {"常量折叠", "代理函数与代理对象", "死代码（不透明谓词）",
                             "控制流平坦化", "逗号表达式拆分"})
        EXPECT_TRUE(layers.contains(QString::fromUtf8(name))) << name;
    EXPECT_TRUE(r.code.contains(QStringLiteral("x = x * 3;"))) << r.code.toStdString();
    EXPECT_TRUE(r.code.contains(QStringLiteral("var y = x + 2;")));
    EXPECT_TRUE(r.code.contains(QStringLiteral("return String(y) + 'lit';")));
    EXPECT_TRUE(r.code.contains(QStringLiteral("log(\"hi4undefined\")"))) << r.code.toStdString();
    EXPECT_FALSE(r.code.contains(QStringLiteral("switch")));
    EXPECT_FALSE(r.code.contains(QStringLiteral("abd")));
    EXPECT_EQ(runLogged(r.code), runLogged(code));
}

TEST(DeobLayers, ObjectsBuiltByAssignmentsAreJoinedAndTheirProxiesInlined) {
    // As the obfuscator takes objects apart: an empty literal, assignments, an alias that
    // shares its declaration with the next variable, a proxy whose only uses were in dead
    // code. Everything folds down to the plain expressions.
    const QString code = QStringLiteral(
        "function f(n){var _0x1a={};_0x1a['add']=function(a,b){return a+b;};_0x1a.k='x';"
        "_0x1a[7]='y';var _0x2b=_0x1a,_0x3c=_0x2b.add(n,1);"
        "var _0x4d={};_0x4d.eq=function(a,b){return a===b;};_0x4d.s='q';"
        "if(_0x4d.eq(_0x4d.s,_0x4d.s)){return _0x2b.k+_0x3c+_0x2b[7];}else{return 0;}}"
        "log(f(2));");
    const DeobResult r = peel(code);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(peeledLayers(r).contains(QStringLiteral("对象属性合并")));
    EXPECT_EQ(r.code,
              QStringLiteral("function f(n) {\n  var _0x3c = n + 1;\n  return 'x' + _0x3c + "
                             "'y';\n}\nlog(f(2));"));
    EXPECT_EQ(runLogged(r.code), runLogged(code));

    // What must stay: a value that runs code or reads the object, a name nobody declared;
    // an object used as a whole is joined but keeps its name.
    const QString kept = QStringLiteral(
        "var n=0;function g(){return ++n;}var _0x1={};_0x1.a=g();_0x1.b=_0x1.a;"
        "var _0x2={};_0x2.me=_0x2;var _0x3={};_0x3.u=undeclared;var _0x4={};_0x4.c=1;"
        "var _0x5={set s(v){log('set '+v);}};_0x5.s=7;"
        "var w={valueOf:function(){log('read '+typeof _0x6);return 2;}};var _0x6={};_0x6.m=-w;"
        "log(_0x1.b+','+(_0x2.me===_0x2)+','+typeof _0x3+','+JSON.stringify(_0x4));");
    const DeobResult k = peel(kept);
    ASSERT_TRUE(k.ok);
    for (const char* part :
         {"_0x1.a = g();", "_0x1.b = _0x1.a;", "_0x2.me = _0x2;", "_0x3.u = undeclared;",
          "var _0x4 = {\n  c: 1\n};", "_0x5.s = 7;", "_0x6.m = -w;"})
        EXPECT_TRUE(k.code.contains(QString::fromUtf8(part))) << part << "\n"
                                                              << k.code.toStdString();
    EXPECT_EQ(runLogged(k.code), runLogged(kept));
}

TEST(DeobLayers, InliningKeepsTheOrderOfEvaluationAndNumbersStayValid) {
    // sw reads its parameters in reverse: with calls as arguments it must stay a call.
    const QString code = QStringLiteral(
        "var s='';function t(x){s+=x;return x;}"
        "var p={'sw':function(a,b){return b-a;},'ok':function(a,b){return a-b;}};"
        "log(p['sw'](t(1),t(2))+p['ok'](t(3),t(4))+p['sw'](5,7)+s+(1_000).toFixed(0x1));");
    const DeobResult r = peel(code);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.code.contains(QStringLiteral("p.sw(t(1), t(2))"))) << r.code.toStdString();
    EXPECT_TRUE(r.code.contains(QStringLiteral("t(3) - t(4)")));
    EXPECT_TRUE(r.code.contains(QStringLiteral("(t(3) - t(4)) + 2 + s + 1000 .toFixed(1)")));
    EXPECT_TRUE(r.code.contains(QStringLiteral("var p = {")));
    EXPECT_EQ(runLogged(r.code), runLogged(code));
}

TEST(DeobLayers, NamesRenamedByRoleWithoutCapture) {
    const QString code =
        QStringLiteral("var _0x1a2b='s';function _0x3c4d(_0x5e6f,_0xab12){var arg1=_0x5e6f;"
                       "return function(_0xcd34){return arg1+_0xab12+_0xcd34+_0x1a2b;};}"
                       "var {_0x9f:_0x77aa}={_0x9f:1};var _0x11=2,_0x22={_0x11};"
                       "log(_0x3c4d('a','b')('c')+_0x77aa+_0x22._0x11);");
    const DeobResult r = peel(code, true);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(peeledLayers(r).contains(QStringLiteral("变量重命名")));
    // Property names stay: { _0x11 } keeps its key when the variable is renamed.
    EXPECT_FALSE(r.code.contains(QRegularExpression(QStringLiteral("\\b_0x(?!9f|11)[0-9a-f]+"))))
        << r.code.toStdString();
    EXPECT_TRUE(r.code.contains(QStringLiteral("_0x11: num1"))) << r.code.toStdString();
    EXPECT_TRUE(r.code.contains(QStringLiteral("function fn1(")));
    EXPECT_TRUE(r.code.contains(QStringLiteral("var str1 = 's'")));
    // The user's own arg1 is kept and not captured by a renamed parameter.
    EXPECT_TRUE(r.code.contains(QStringLiteral("var arg1 = ")));
    EXPECT_EQ(runLogged(r.code), runLogged(code));
}

TEST(DeobLayers, NamesReachedByCodeTextKeepTheirNames) {
    // (Texts the deobfuscator can compute become code; these stay texts.)
    const struct {
        const char* name;
        QString code;
        QStringList kept;    // names that must still be there
        QStringList renamed; // names that must be gone
    } cases[] = {
        {"direct eval sees its function and the program",
         QStringLiteral(
             "var _0xa1=3;function _0xf1(_0xb2){var _0xc3=5;return "
             "eval(Array.of('_0xc3+_0xb2+_0xa1')[0]);}"
             "function _0xf2(_0xd4){for(var _0xd5=0;_0xd4>0;_0xd4--)_0xd5+=2;return _0xd5;}"
             "log(_0xf1(1)+_0xf2(2));"),
         {QStringLiteral("_0xa1"), QStringLiteral("_0xb2"), QStringLiteral("_0xc3"),
          QStringLiteral("_0xf1")},
         // A function no eval sees is renamed as before.
         {QStringLiteral("_0xd4"), QStringLiteral("_0xd5")}},
        {"new Function and Function by text",
         QStringLiteral(
             "var _0xe5=7,_0xe6=2;(function(){var _0x77=1;"
             "log(new Function(Array.of('return _0xe5*2')[0])()+Function('x',Array.of('return "
             "x+_0xe6')[0])(_0x77));})();"),
         {QStringLiteral("_0xe5"), QStringLiteral("_0xe6")},
         {QStringLiteral("_0x77")}},
        {"indirect eval of a joined text",
         QStringLiteral("var _0x99=4;function _0x98(_0x97){return _0x97;}"
                        "log((0,eval)('_0x' + '99' + '+1;_0x98(2)'));"),
         {QStringLiteral("_0x98")},
         {QStringLiteral("_0x97")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DeobResult r = peel(c.code, true);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        for (const QString& name : c.kept)
            EXPECT_TRUE(r.code.contains(name)) << name.toStdString() << "\n"
                                               << r.code.toStdString();
        for (const QString& name : c.renamed)
            EXPECT_FALSE(r.code.contains(name)) << name.toStdString() << "\n"
                                                << r.code.toStdString();
        const QString expected = runLogged(c.code);
        EXPECT_FALSE(expected.contains(QStringLiteral("ERROR")));
        EXPECT_EQ(runLogged(r.code), expected) << r.code.toStdString();
    }
}

TEST(DeobLayers, LabelsRenamedWithTheirJumpsAndNeverClash) {
    // label1 is the script's own; a function inside a labelled loop may reuse a name.
    const QString code = QStringLiteral(
        "var out='';label1:for(var i=0;i<2;i++){_0xaa:for(var j=0;j<4;j++){"
        "_0xbb:for(var k=0;k<3;k++){if(k==1)continue _0xaa;if(j==2)break _0xaa;"
        "if(k==2)break _0xbb;out+=i+''+j+k+',';}}"
        "(function(){_0xaa:for(;;){out+='f';break _0xaa;}})();if(i==1)break label1;}log(out);");
    const DeobResult r = peel(code, true);
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.code.contains(QStringLiteral("_0x"))) << r.code.toStdString();
    EXPECT_TRUE(r.code.contains(QStringLiteral("label2:"))) << r.code.toStdString();
    EXPECT_EQ(runLogged(r.code), runLogged(code));
}

TEST(DeobLayers, SwitchLoopsThatLeaveEarlyStayAsTheyAre) {
    // A case that breaks out of the loop, and an order whose array is used elsewhere too.
    const QString code = QStringLiteral(
        "function f(x){var o='1|0'.split('|'),i=0;while(true){switch(o[i++]){"
        "case '0':x+=1;continue;case '1':if(x>5)break;x*=2;continue;}break;}return x;}"
        "function g(x){var o='0|1'.split('|'),i=0;while(true){switch(o[i++]){"
        "case '0':x+=o.length;continue;case '1':return x;}break;}}log(f(1)+','+f(9)+','+g(1));");
    const DeobResult r = peel(code);
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(peeledLayers(r).contains(QStringLiteral("控制流平坦化"))) << r.code.toStdString();
    EXPECT_EQ(runLogged(r.code), runLogged(code));
}

TEST(DeobGuards, SelfDefenceRemovedAndDebuggerTrapMadeHarmless) {
    const QString code = QStringLiteral(
        "var ctl=function(){var first=true;return function(ctx,fn){var "
        "r=first?function(){if(fn){var "
        "x=fn.apply(ctx,arguments);fn=null;return x;}}:function(){};first=false;return r;};}();"
        "var chk=ctl(this,function(){return chk.toString().search('(((.+)+)+)+$').toString()"
        ".constructor(chk).search('(((.+)+)+)+$');});chk();"
        "function trap(k){function t(c){if(typeof c==='string'){return "
        "function(){}.constructor('while (true) {}')"
        ".apply('counter');}else{(function(){return "
        "true;}.constructor('debu'+'gger').call('action'));}"
        "t(++c);}try{if(k){return t;}else{t(0);}}catch(e){}}"
        "log('ok');");
    const DeobResult r = peel(code);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(peeledLayers(r).contains(QStringLiteral("自我保护与调试陷阱")));
    EXPECT_FALSE(r.code.contains(QStringLiteral("(((.+)+)+)+$")));
    EXPECT_FALSE(r.code.contains(QStringLiteral("while (true)")));
    EXPECT_EQ(runLogged(r.code), QStringLiteral("ok"));

    // A library that merely names "debugger" and reads a constructor is not a trap.
    const QString library =
        QStringLiteral("function lib(){var kw=['debugger','if'];var F=function(){}.constructor;"
                       "return kw.length+typeof F;}log(lib());");
    EXPECT_EQ(peel(library).code, library);
}

TEST(DeobGuards, SelfCheckIsNeverLeftArmedInLaidOutCode) {
    // The obfuscator's guard with shuffled mangled names (target node) goes; a self-check of
    // a shape no layer knows stays, and then the result stays on one line, unformatted:
    // laid out, its test of the function's own text would never end (the layers' laid-out
    // stages time out in the behaviour check, so the original comes back as it was).
    const QString unknownGuard = QStringLiteral(
        "(function guard(){var s=guard.toString();if(s.search('(((.+)+)+)+$')<0)log('bad');})();"
        "log('o'+'k');");
    const struct {
        const char* name;
        QString code;
        bool keepLayout;
    } cases[] = {
        {"node target, mangled-shuffled names",
         readFile(QStringLiteral(VEXO_TEST_DATA "/deob/node-mangled-self-defending/hash.js")),
         false},
        {"a guard of another shape", unknownGuard, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeobOptions options;
        options.sandboxSeconds = 1.0;
        const DeobResult r = DeobfuscateScript(c.code, options);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(r.keepLayout, c.keepLayout);
        EXPECT_EQ(r.code.contains(QStringLiteral("(((.+)+)+)+$")), c.keepLayout);
        // What the user gets: laid out unless it must not be.
        const QString shown = r.keepLayout ? r.code : FormatScript(r.code).text;
        EXPECT_EQ(runLogged(shown), runLogged(c.code)) << shown.toStdString();
    }
}

TEST(DeobGuards, TrapStarterIntervalConsoleSwitchAndTheirControllersGo) {
    // As the obfuscator emits them: a call controller, the starter that runs the trap, the
    // interval that keeps calling it, the switch that silences the console. A second
    // controller stays, since the script itself still calls it.
    const QString controller = QStringLiteral(
        "=function(){var f=true;return function(c,fn){var r=f?function(){if(fn){var "
        "x=fn.apply(c,arguments);fn=null;return x;}}:function(){};f=false;return r;};}();");
    const QString code =
        QStringLiteral("var _0xc1") + controller + QStringLiteral("var _0xc2") + controller +
        QStringLiteral(
            "(function(){_0xc1(this,function(){var a=new RegExp('function *\\\\( *\\\\)'),"
            "b=new RegExp('\\\\+\\\\+ *(?:[a-zA-Z_$][0-9a-zA-Z_$]*)','i'),c=_0xa7('init');"
            "!a.test(c+'chain')||!b.test(c+'input')?c('0'):_0xa7();})();})();"
            "setInterval(function(){_0xa7();},4000);"
            "var _0xd0=_0xc1(this,function(){var g=function(){return this;}();"
            "var con=g.console=g.console||{};"
            "var m=['log','warn','info','error','exception','table','trace'];"
            "for(var i=0;i<m.length;i++){con[m[i]]=function(){};}});_0xd0();"
            "function _0xa7(k){function t(c){if(typeof c==='string'){return "
            "function(){}.constructor('while (true) {}').apply('counter');}else{"
            "(function(){return true;}.constructor('debu'+'gger').call('action'));}t(++c);}"
            "try{if(k){return t;}else{t(0);}}catch(e){}}"
            "log(typeof _0xc2(this,function(){return 1;}));");
    const DeobResult r = peel(code);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(peeledLayers(r).contains(QStringLiteral("自我保护与调试陷阱")));
    for (const char* goneText : {"_0xc1", "_0xa7", "setInterval", "console", "RegExp"})
        EXPECT_FALSE(r.code.contains(QString::fromUtf8(goneText))) << goneText;
    EXPECT_TRUE(r.code.contains(QStringLiteral("var _0xc2 = function"))) << r.code.toStdString();
    EXPECT_EQ(runLogged(r.code), QStringLiteral("function"));
}

TEST(DeobSafety, SandboxSeesNothingOfTheHostOrTheLoadedScript) {
    GlobalObjects globals;
    globals.mainHost().AddCode(QStringLiteral("var userMarker = 1; function vexo() {}"));
    const DeobResult r = peel(QStringLiteral(
        "eval(\"var seen = '\" + [typeof vexo, typeof userMarker, typeof vexoSandboxRun, "
        "typeof vexoDeobfuscate, typeof print, typeof require].join() + \"';\");"));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.code.trimmed(),
              QStringLiteral("var seen = 'undefined,undefined,undefined,undefined,"
                             "undefined,undefined';"));
}

TEST(DeobSafety, EndlessDecoderIsStoppedAndItsLayerSkipped) {
    DeobOptions options;
    options.sandboxSeconds = 0.3;
    options.rename = false;
    const QString code = QStringLiteral(
        "var _0xa=['x','y'];function _0xd(i){while(true){}return _0xa[i];}log(_0xd(0)+_0xd(1));");
    const DeobResult r = DeobfuscateScript(code, options);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const DeobStage* s = skipped(r, QStringLiteral("字符串数组"));
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->note.contains(QStringLiteral("超时")));
    EXPECT_TRUE(r.code.contains(QStringLiteral("_0xd(0)")));
    // The same for a wrapper whose payload never comes.
    const DeobResult w = DeobfuscateScript(QStringLiteral("for(;;){}eval('lo'+'g(1)');"), options);
    ASSERT_TRUE(w.ok);
    EXPECT_NE(skipped(w, QStringLiteral("eval/Function/document.write 包装")), nullptr);
}

TEST(DeobSafety, StopEndsTheRunAndReportsIt) {
    StopAtOnce impatient;
    ScriptThread::instance().setWaiter(&impatient);
    const DeobResult r = DeobfuscateScript(
        QStringLiteral("var a=['x'];function d(i){while(true){}return a[i];}log(d(0));"));
    ScriptThread::instance().setWaiter(nullptr);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.error, QStringLiteral("脚本运行已被用户中止"));
    // The engine is usable again afterwards.
    EXPECT_TRUE(peel(QStringLiteral("log(1)")).ok);
}

TEST(DeobSafety, LayerWithInvalidOutputIsDropped) {
    DeobOptions options;
    options.rename = false;
    options.extraLayers = {
        {QStringLiteral("坏层"), QStringLiteral("function (code) { return code + ' +'; }")}};
    DeobResult r = DeobfuscateScript(QStringLiteral("log(1);"), options);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.code, QStringLiteral("log(1);"));
    const DeobStage* s = skipped(r, QStringLiteral("坏层"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->note, QStringLiteral("结果不是有效的脚本，已丢弃"));
    // A packed script whose payload is not a script: the packer layer is dropped, the
    // packed text stays as it was.
    const QString packed =
        QStringLiteral("eval(function(p,a,c,k,e,d){return p}('var = ;',0,0,''.split('|'),0,{}))");
    r = peel(packed);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.code, packed);
    EXPECT_TRUE(peeledLayers(r).isEmpty());
    // Text that is no script at all and no layer makes one of comes back as it is.
    r = peel(QStringLiteral("function ("));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.code, QStringLiteral("function ("));
}

TEST(DeobSafety, CodeOverTheSizeLimitEndsTheRunWithTheReason) {
    constexpr qint64 limit = 1024 * 1024;
    // A packer whose decoder hands back itself with its payload doubled: 64 bytes would
    // pass 64 MiB at the twentieth layer.
    const QString doubling =
        QStringLiteral(
            "eval(function(p,a,c,k,e,r){return 'eval('+arguments.callee+'('+JSON.stringify(p+p)+"
            "',0,0,[],0,{}))'}('%1',0,0,[],0,{}))")
            .arg(QString(64, QLatin1Char('x')));
    struct Case {
        const char* name;
        QString script;
        QString error;        // the whole message, or its start when it ends in "…"
        QString stoppedLayer; // the layer whose result ended the run
    };
    const QString packer = QStringLiteral("eval(function(p,a,c,k,e,r)) 打包");
    const QString wrapper = QStringLiteral("eval/Function/document.write 包装");
    const Case cases[] = {
        {"script over the limit is refused before the run",
         QStringLiteral("log(1);").leftJustified(limit * 3 / 2),
         QStringLiteral("脚本过大（1.5 MB），解密最多支持 1 MB"),
         {}},
        {"packer doubling its payload at every layer", doubling,
         QStringLiteral("「%1」解出的代码过大（…").arg(packer), packer},
        {"eval of a computed payload over the limit",
         QStringLiteral("var s = 'a=1;'.repeat(300000); eval(s);"),
         QStringLiteral("「%1」解出的代码过大（1.2 MB），解密最多支持 1 MB，已停止").arg(wrapper),
         wrapper},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeobOptions options;
        options.rename = false;
        options.maxBytes = limit;
        const DeobResult r = DeobfuscateScript(c.script, options);
        EXPECT_FALSE(r.ok);
        if (c.error.endsWith(QChar(0x2026))) {
            EXPECT_TRUE(r.error.startsWith(c.error.chopped(1)) &&
                        r.error.endsWith(QStringLiteral("MB），解密最多支持 1 MB，已停止")))
                << r.error.toStdString();
        } else {
            EXPECT_EQ(r.error, c.error);
        }
        // Every layer kept stays within the limit; the one past it is named in the history.
        for (const DeobStage& s : r.history) {
            if (s.peeled) {
                EXPECT_LE(s.code.toUtf8().size(), limit) << s.layer.toStdString();
            }
        }
        if (c.stoppedLayer.isEmpty()) {
            EXPECT_TRUE(r.history.isEmpty());
        } else {
            ASSERT_FALSE(r.history.isEmpty());
            EXPECT_EQ(r.history.last().layer, c.stoppedLayer);
            EXPECT_FALSE(r.history.last().peeled);
            EXPECT_TRUE(r.history.last().note.startsWith(QStringLiteral("结果过大")));
        }
    }
    // The packer's earlier layers were peeled; the engine serves the next run.
    EXPECT_TRUE(peel(QStringLiteral("log(1)")).ok);
}

// One test per kind of layer, over the fixtures made with it.
class DeobFixtures : public ::testing::TestWithParam<const char*> {};

// Every fixture of the folder: peeled at least once, and the result logs what the original
// logs; where the input is laid out (not compact), the result is shorter too.
void expectSetPeelsAndLogsTheSame(const QString& folder, bool shorter) {
    const QDir dir(QStringLiteral(VEXO_TEST_DATA "/deob/") + folder);
    const QStringList files = dir.entryList({QStringLiteral("*.js")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        const QString original = readFile(dir.filePath(name));
        const QString expected = runLogged(original);
        ASSERT_FALSE(expected.isEmpty()) << name.toStdString();
        ASSERT_FALSE(expected.contains(QStringLiteral("ERROR"))) << name.toStdString();
        const DeobResult r = DeobfuscateScript(original);
        ASSERT_TRUE(r.ok) << name.toStdString() << ": " << r.error.toStdString();
        EXPECT_GT(r.peeledCount(), 0) << name.toStdString();
        EXPECT_EQ(runLogged(r.code).toStdString(), expected.toStdString()) << name.toStdString();
        if (shorter) {
            EXPECT_LT(r.code.size(), original.size()) << name.toStdString();
        }
    }
}

TEST_P(DeobFixtures, PeeledCodeLogsTheSameAsTheOriginal) {
    expectSetPeelsAndLogsTheSame(QString::fromLatin1(GetParam()), true);
}

INSTANTIATE_TEST_SUITE_P(Sets, DeobFixtures,
                         ::testing::Values("default", "preset-low", "preset-medium", "preset-high",
                                           "base64", "rc4", "rotate-shuffle", "wrappers-variable",
                                           "wrappers-function", "split-strings", "control-flow",
                                           "dead-code", "numbers-to-expressions",
                                           "transform-object-keys", "unicode-escapes",
                                           "names-mangled", "self-defending", "debug-protection",
                                           "packed-obfuscated", "jsfuck", "aaencode", "jjencode",
                                           "calls-transform", "debug-interval", "rename-globals",
                                           "no-eval-target", "mixed-encodings", "mangled-shuffled"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

// The js-confuser sets: the same proof, one test per option or preset. Their input is
// compact, so the laid-out result may well be longer than it.
class DeobConfuserFixtures : public ::testing::TestWithParam<const char*> {};

TEST_P(DeobConfuserFixtures, PeeledCodeLogsTheSameAsTheOriginal) {
    expectSetPeelsAndLogsTheSame(QStringLiteral("confuser-") + QString::fromLatin1(GetParam()),
                                 false);
}

INSTANTIATE_TEST_SUITE_P(Sets, DeobConfuserFixtures,
                         ::testing::Values("preset-low", "preset-medium", "preset-high",
                                           "string-concealing", "string-encoding",
                                           "string-splitting", "control-flow",
                                           "control-flow-shapes", "dispatcher", "opaque-predicates",
                                           "calculator", "global-concealing", "duplicate-literals",
                                           "object-extraction", "moved-declarations",
                                           "flatten-masking", "rgf", "pack", "dead-code"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

TEST(DeobBehaviourCheck, BrokenLayersAreRolledBackAndSoundOnesKept) {
    // A layer that changes what the script prints, one that turns a global the page may
    // call into a number, and one that keeps both: the first two go with every layer after them.
    struct Case {
        const char* name;
        QString script;
        QString peel;       // the extra layer
        QString rolledBack; // the layer rolled back; empty when none
        QString codeHas;    // in the result
    };
    const QString printing = QStringLiteral("eval('console.log(\"a\")'); function api() {}"
                                            "setTimeout(function () { console.log('t'); }, 5);");
    const Case cases[] = {
        {"changed output", printing,
         QStringLiteral("function (c) { return c.replace(\"'t'\", \"'u'\"); }"),
         QStringLiteral("坏层"), QStringLiteral("'t'")},
        {"global of another type", printing,
         QStringLiteral("function (c) { return c.replace('function api() {}', 'var api = 1;'); }"),
         QStringLiteral("坏层"), QStringLiteral("function api")},
        {"behaviour kept",
         printing,
         QStringLiteral("function (c) { return c.replace('api() {}', 'api() { return 1; }'); }"),
         {},
         QStringLiteral("console.log(\"a\");")},
        {"original needs a page: unchecked",
         QStringLiteral("eval('document.body.x = 1'); log(2)"),
         QStringLiteral("function (c) { return c.replace('log(2)', 'log(3)'); }"),
         {},
         QStringLiteral("log(3)")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeobOptions options;
        options.rename = false;
        options.extraLayers = {{QStringLiteral("坏层"), c.peel}};
        const DeobResult r = DeobfuscateScript(c.script, options);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(r.behaviour.rolledBack, c.rolledBack);
        EXPECT_TRUE(r.code.contains(c.codeHas)) << r.code.toStdString();
        if (!c.rolledBack.isEmpty()) {
            EXPECT_EQ(r.behaviour.rollbackMessage(),
                      QStringLiteral("已回退：%1 改变了脚本的行为").arg(c.rolledBack));
            const DeobStage* s = skipped(r, c.rolledBack);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->note, QStringLiteral("改变了脚本的行为，已回退"));
            EXPECT_EQ(r.peeledCount(), 0); // the eval layer came after it
        }
    }
    // The expression check names the first layer giving another value.
    DeobOptions options;
    options.rename = false;
    options.check = QStringLiteral("sign('abc')");
    options.extraLayers = {{QStringLiteral("坏层"),
                            QStringLiteral("function (c) { return c.replace('+ 1', '+ 2'); }")}};
    const DeobResult r =
        DeobfuscateScript(QStringLiteral("eval('function sign(s) { return s + 1; }')"), options);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.behaviour.checkOriginal, QStringLiteral("\"abc1\""));
    EXPECT_EQ(r.behaviour.checkStage, QStringLiteral("坏层"));
    EXPECT_EQ(r.behaviour.checkChanged, QStringLiteral("\"abc2\""));
}
