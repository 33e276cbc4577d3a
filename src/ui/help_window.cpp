#include "ui/help_window.h"

#include <QTextBrowser>
#include <QVBoxLayout>

#include "look/ui_font.h"
#include "version/version.h"

namespace xq {
namespace {

QString HelpText() {
    return QStringLiteral(R"(
<h2>中国象棋 帮助</h2>

<h3>在本桌下棋</h3>
<ul>
<li><b>开始</b>：按"开 始"。你是桌主时先出现游戏设置：本桌大小、逃跑者应扣除的积分、本局最大用时和每步限时；
按"确定"，对方同意后开局。按 Esc 或关闭设置窗口等于"取消"，也就是离开本桌。每局结束后再按"开 始"，红黑交换。</li>
<li><b>走棋</b>：轮到你时，先点自己的一个棋子（它会闪动），再点要去的点。可以走的点用绿点标出（要吃的子用绿圈），
走法不对时会响一声并在棋盘下方说明原因。这两种提示可在"设置"里用"出牌不对时给出提示"关掉。
服务器确认后棋子才会移动，最后一步棋用红框标出。</li>
<li><b>计时</b>：走棋的一方时钟在走。每步先用"每步限时"，超过以后每一秒都记入"局时"；局时用完就判负。</li>
<li><b>将军</b>：被将军的一方的将（帅）会用红圈标出一会儿，同时有声音提示。</li>
<li><b>悔棋</b>：第五步以后、轮到你时可按"悔 棋"请求退回最后两步，对方同意后生效。</li>
<li><b>求和</b>、<b>认输</b>：只能在轮到你时使用。对方的请求在倒计时结束时自动拒绝，除非你同意。</li>
<li><b>保存</b>：把本局保存为 .drak 棋谱；一局结束后到下一局开始前，保存的是刚结束的那一局。</li>
<li><b>读入</b>：在两局之间、举手之前，请求对方同意后，从一个棋谱接着下。</li>
<li><b>复盘</b>：打开复盘窗口，一步一步看棋、试走变化、保存或导出文本棋谱。两局之间打开的是刚结束的那一局。</li>
<li><b>聊天</b>：在右下方输入文字发送给所有人，或在左边的框里选择一个人私聊。</li>
<li><b>离开</b>：关闭窗口就是离开本桌。对局中离开要先确认"强退"，并按逃跑计算。
与服务器的连接断开时，窗口会说明，并让你保存正在进行的棋局。</li>
</ul>

<h3>象棋规则简介</h3>
<ul>
<li>红方先走，双方轮流各走一步。</li>
<li><b>车</b>：直走横走，距离不限，不能越子。</li>
<li><b>马</b>：走"日"字；"马腿"（紧挨的一点）上有子时不能走（蹩马腿）。</li>
<li><b>炮</b>：不吃子时同车；吃子时必须隔着一个棋子（炮架）。</li>
<li><b>相（象）</b>：走"田"字，不能过河；"田"字中心有子时不能走（塞象眼）。</li>
<li><b>仕（士）</b>：在九宫内斜走一步。</li>
<li><b>帅（将）</b>：在九宫内直走或横走一步；两将不能在同一直线上直接对面。</li>
<li><b>兵（卒）</b>：过河前只能向前走一步，过河后可以向前或左右走一步，永不后退。</li>
<li>走子后使对方的将（帅）受到攻击叫"将军"。被将死或无子可走的一方判负。</li>
</ul>

<h3>按键</h3>
<ul>
<li>复盘窗口的着法列表：↑ ↓ 一步一步，Home 到开头，End 到最后，PageUp / PageDown 一次多步；
自动播放时再按一次播放键、任何导航键或点击列表即停止。</li>
<li>游戏设置的输入框只接受数字；Esc 等于"取消"或"不同意"。</li>
<li>消息框：Alt+Y 为"是"，Alt+N 为"否"。</li>
<li>窗口：拖动标题栏移动，拖动边框和四角改变大小；拖动棋盘右边的竖条可以调整两边宽度，点击竖条中间的箭头可以收起或展开右边。</li>
</ul>
)");
}

}  // namespace

HelpWindow::HelpWindow(const QString& gameName, QWidget* parent)
    : QDialog(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(gameName + QStringLiteral(" 帮助"));
    setFont(paneFont());
    browser_->setOpenLinks(false);
    browser_->setHtml(HelpText() +
                      QStringLiteral("<p>xqtable %1</p>").arg(QString::fromLatin1(kVersion)));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    resize(640, 560);
}

QString HelpWindow::text() const {
    return browser_->toPlainText();
}

}  // namespace xq
