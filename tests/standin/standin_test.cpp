// The stand-in app end to end: the real client run inside one of its terminals.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "process.h"

namespace zelto::testing {
namespace {

class StandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() / ("zelto-standin-test-" + std::string(test->name()));
    std::filesystem::remove_all(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // Runs `script` with sh inside a terminal of the stand-in app.
  ProcessResult run(const std::string& script) {
    return run_process({{ZELTO_STANDIN, "--folder", folder_.string(), "--", "/bin/sh", "-c", script},
                        environment_outside_terminal()});
  }

  std::string in_folder(const std::string& name) const { return (folder_ / name).string(); }

  std::string file(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }

  std::filesystem::path folder_;
};

TEST_F(StandIn, SessionThroughEveryVerb) {
  const ProcessResult result = run(
      "zelto list && zelto send Backend roda os testes && zelto send todos && zelto reply feito && zelto reply de novo"
      " && zelto note Plano '# Plano' && zelto html Painel '<h1>Oi</h1>' && zelto diagram Fluxo '{\"boxes\":[]}'"
      " && zelto note Plano && zelto browser docs https://exemplo.com && zelto browser docs https://outro.com"
      " && zelto list");
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string playwright =
      "para dirigir voce mesmo (clicar/preencher/navegar), conecte o Playwright via connectOverCDP nesse endpoint; "
      "senao, o usuario opera a janela aberta.\n";
  const std::string agents =
      "Você é: Terminal 1\nAgentes conectados (use `zelto send <nome> <mensagem>`):\n  - Backend (node-2)\n"
      "  - Frontend (node-3)\n";
  EXPECT_EQ(result.out,
            agents +
                "enviado para 1 terminal(is).\n"
                "enviado para 2 terminal(is).\n"
                "resposta enviada ao chamador.\n"
                "nenhum chamador recebeu a resposta.\n"
                "nota \"Plano\" criada no canvas, conectada a voce.\narquivo: " + in_folder("Plano.md") + "\n"
                "edite esse arquivo com suas ferramentas de arquivo para preencher/atualizar a nota.\n"
                "pagina HTML \"Painel\" criada no canvas, conectada a voce.\narquivo: " + in_folder("Painel.html") + "\n"
                "edite esse arquivo com suas ferramentas de arquivo para criar/atualizar a pagina (mantenha CSS/JS inline).\n"
                "diagrama \"Fluxo\" criado no canvas, conectado a voce.\narquivo: " + in_folder("Fluxo.diagram.json") + "\n"
                "nota \"Plano (2)\" criada no canvas, conectada a voce.\narquivo: " + in_folder("Plano-2.md") + "\n"
                "edite esse arquivo com suas ferramentas de arquivo para preencher/atualizar a nota.\n"
                "navegador \"docs\" aberto no canvas, conectado a voce.\nurl: https://exemplo.com\n"
                "CDP: http://127.0.0.1:9400\n" + playwright +
                "navegador \"docs\" navegou para a nova URL.\nurl: https://outro.com\nCDP: http://127.0.0.1:9400\n" +
                playwright + agents +
                "Notas conectadas (arquivos .md — leia/edite com suas ferramentas de arquivo):\n"
                "  - Plano: " + in_folder("Plano.md") + "\n  - Plano (2): " + in_folder("Plano-2.md") + "\n"
                "Diagramas conectados (arquivos .diagram.json — LEIA com suas ferramentas de arquivo pra entender o "
                "fluxo/arquitetura; use-os como apoio, ex.: ao codificar o que descrevem):\n"
                "  - Fluxo: " + in_folder("Fluxo.diagram.json") + "\n"
                "Paginas HTML conectadas (arquivos .html renderizados no canvas — edite-os com suas ferramentas de "
                "arquivo pra criar/atualizar a pagina; mantenha CSS/JS inline):\n"
                "  - Painel: " + in_folder("Painel.html") + "\n"
                "Navegadores conectados (webviews reais no canvas — abra/navegue com `zelto browser <url>`; dirija "
                "via Playwright connectOverCDP no endpoint):\n"
                "  - docs: http://127.0.0.1:9400\n");
  EXPECT_EQ(file("Plano.md"), "# Plano");
  EXPECT_EQ(file("Plano-2.md"), "");
  EXPECT_EQ(file("Painel.html"), "<h1>Oi</h1>");
  EXPECT_EQ(file("Fluxo.diagram.json"), R"({"boxes":[]})");
}

TEST_F(StandIn, AppErrorsReachTheCaller) {
  const ProcessResult result = run(
      "zelto send Ninguem oi; echo status=$?; ZELTO_TOKEN=errado zelto list; echo status=$?;"
      " ZELTO_NODE_ID=node-9 zelto list; echo status=$?; exit 7");
  EXPECT_EQ(result.status, 7);
  EXPECT_EQ(result.out, "status=1\nstatus=1\nstatus=1\n");
  EXPECT_NE(result.err.find("zelto: alvo nao encontrado: Ninguem\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("zelto: token inválido\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("zelto: terminal desconhecido: node-9\n"), std::string::npos) << result.err;
}

TEST_F(StandIn, GivesTheTerminalItsVariables) {
  const ProcessResult result = run("echo \"$ZELTO_NODE_ID\"; test ${#ZELTO_TOKEN} -ge 16 && echo token;"
                                   " test \"$ZELTO_PORT\" -gt 0 && echo port; basename \"$(command -v zelto)\"");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "node-1\ntoken\nport\nzelto\n");
}

}  // namespace
}  // namespace zelto::testing
