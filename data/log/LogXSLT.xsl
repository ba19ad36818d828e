<?xml version="1.0" encoding="UTF-8"?>
<!-- Shows the run-time log "Log.xml" as a numbered list in a browser. The build copies it into
     the run folder beside the log. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8"/>
  <xsl:template match="/RunTimeLog">
    <html>
      <head>
        <title>QUORB run-time log</title>
        <style>
          body { font-family: monospace; }
          li { white-space: pre-wrap; margin-bottom: 0.2em; }
        </style>
      </head>
      <body>
        <h1>QUORB run-time log</h1>
        <p><xsl:value-of select="count(Line)"/> lines</p>
        <ol>
          <xsl:for-each select="Line">
            <li><xsl:value-of select="."/></li>
          </xsl:for-each>
        </ol>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
